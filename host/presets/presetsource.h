// The readable source of the factory presets: one section per preset with
// its name, what it is for, the test signal that shows it working, and its
// values by parameter title and display text, as a user types them:
//
//   [Kick - tight]
//   for = Close-miked kick drum: ...
//   signal = kick
//   Threshold = -30.0 dB
//
// Blank lines and lines starting with '#' are ignored.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace Quorvane
{

struct PresetDefinition
{
    std::string name;
    std::string purpose; // "for"
    std::string signal;  // the kind of test signal it is tuned on
    std::vector<std::pair<std::string, std::string>> values; // title, display text
    int line = 0;                                            // where its section starts
};

// Throws HostError (kExitInput) naming the file and line of a problem:
// a value outside a section, a line without '=', a preset without "for"
// or "signal" or values, a name used twice or unfit for a file name.
std::vector<PresetDefinition> readPresetSource(const std::string& path);

// The same from text already read; PATH names it in messages.
std::vector<PresetDefinition> parsePresetSource(const std::string& text, const std::string& path);

// The presets as the README's Markdown table: name, purpose, and every
// value as "Title value", in the source's order.
std::string presetTable(const std::vector<PresetDefinition>& presets);

} // namespace Quorvane
