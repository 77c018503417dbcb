// A deterministic drum-like test signal over a noise floor, for `quorvane demo`.
#pragma once

#include <vector>

namespace Quorvane
{

// Stereo, `seconds` long: kick, snare and hi-hat at 120 beats per minute
// over a constant hiss and hum about 50 dB below full scale. The same
// arguments always give the same samples.
std::vector<std::vector<float>> makeDemoSignal(int sampleRate, double seconds);

} // namespace Quorvane
