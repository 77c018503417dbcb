// The test signals the factory presets are tuned on: each one a short,
// repeatable stand-in for the track a preset is meant for, with the places
// of its hits, notes or phrases.
#pragma once

#include "audiofiles.h"

#include <cstddef>
#include <vector>

namespace QuorvaneTest
{

constexpr int kSignalRate = 44100;

struct TestSignal
{
    Channels audio;             // mono
    Channels key;               // the side chain, empty when none
    std::vector<size_t> starts; // where each hit, note or phrase begins
    std::vector<size_t> ends;   // where each one's loud part ends
};

inline size_t ms(double milliseconds)
{
    return static_cast<size_t>(milliseconds * kSignalRate / 1000.0);
}

// Kick hits (55 Hz, -6 dBFS, 60 ms decay) every 750 ms over -50 dBFS bleed noise.
TestSignal kickSignal();
// Snare hits every second: a 15 ms crack at -6 dBFS, then a 180 Hz ring from
// -14 dBFS that takes 400 ms per 8.7 dB to die away.
TestSignal snareSignal();
// Tom hits (90 Hz, -8 dBFS, 250 ms decay) every 2.5 s over -55 dBFS rumble.
TestSignal tomSignal();
// Hat strokes (noise, -10 dBFS, 10 ms decay) every 250 ms over -36 dBFS drum spill.
TestSignal hiHatSignal();
// Phrases of four 300 ms syllables with 60 ms gaps between words, 1 s of
// pause between phrases, over -55 dBFS room noise.
TestSignal speechSignal();
// 1.5 s sung phrases at -14 dBFS, 1.5 s apart; between them, a click at
// -40 dBFS every 125 ms and a backing track at -45 dBFS.
TestSignal singerSignal();
// Phrases of four plucked notes (-10 dBFS, 300 ms decay, 400 ms apart),
// 4.4 s apart, over -52 dBFS hum and -60 dBFS hiss.
TestSignal guitarSignal();
// A steady -12 dBFS pad; the key: kick hits (-6 dBFS, 50 ms decay) every 600 ms.
TestSignal duckingSignal();
// 40 drum hits (40 ms at -10 dBFS) every 250 ms with silence between.
TestSignal drumLoopSignal();
// 1 s at -12 dBFS, 2 s of a -50 dBFS noise floor, 1 s at -12 dBFS.
TestSignal noiseFloorSignal();

} // namespace QuorvaneTest
