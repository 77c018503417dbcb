#pragma once

namespace Quorvane
{

// Fixed values of the gate engine. Levels are linear amplitudes.

// Silence: floor of input samples (keeps denormals out of detectors and
// filters), filler of output channels without a source, reset value of peaks
// and meters.
constexpr float kSilence = 1e-25f;

// Input samples larger than this (400 dB above full scale) are not audio but
// corrupt data, and count as silence as infinities do: through the filters
// (and up to +40 dB of output level) they would overflow the float output.
// Anything up to here stays many orders of magnitude inside its range.
constexpr float kLargestSample = 1e20f;

// Milliseconds to seconds.
constexpr float kMsToSeconds = 0.001f;

// -60 dB: start of the envelope, lower clamp of the gradual attack and base of
// the -60 dB time constants.
constexpr float kMinus60dB = 0.001f;

// The synthesized attack approaches this value and is clamped at 1.
constexpr float kSynthTarget = 1.3f;

// Power that turns a per-sample envelope factor into the gain smoothing
// coefficient: the gain follows the envelope with an eighth of its time constant.
constexpr float kSmoothingPower = 8.0f;

// Start value of each channel's smoothed gain (-120 dB).
constexpr float kGainStart = 1e-6f;

// Bypass/listen fade: floor (-40 dB) and the time to fall to it.
constexpr float kFadeFloor = 0.01f;
constexpr float kFadeTimeMs = 10.0f;

// Meter refresh interval.
constexpr float kMeterIntervalMs = 50.0f;

// The random draw gives 0..kRandomMax; dividing by it maps the draw to 0..1.
constexpr int kRandomMax = 32767;

} // namespace Quorvane
