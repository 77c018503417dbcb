#include "presetsource.h"

#include "support/hosterror.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>

namespace Quorvane
{

namespace
{

std::string trimmed(const std::string& text)
{
    auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return {};
    auto end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool fitsFileName(const std::string& name)
{
    return !name.empty() && name.find_first_of("/\\:*?\"<>|") == std::string::npos &&
           name[0] != '.';
}

std::string cell(const std::string& text)
{
    std::string escaped;
    for (char c : text)
    {
        if (c == '|')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

} // namespace

std::vector<PresetDefinition> parsePresetSource(const std::string& text, const std::string& path)
{
    std::vector<PresetDefinition> presets;
    std::set<std::string> names;
    auto fail = [&](int line, const std::string& message)
    { throw HostError(kExitInput, path + ":" + std::to_string(line) + ": " + message); };
    auto finish = [&]()
    {
        if (presets.empty())
            return;
        const PresetDefinition& last = presets.back();
        if (last.purpose.empty())
            fail(last.line,
                 "preset '" + last.name + "' says nothing about what it is for ('for = ...')");
        if (last.signal.empty())
            fail(last.line, "preset '" + last.name + "' names no test signal ('signal = ...')");
        if (last.values.empty())
            fail(last.line, "preset '" + last.name + "' sets no values");
    };

    std::istringstream in(text);
    int number = 0;
    for (std::string raw; std::getline(in, raw);)
    {
        ++number;
        const std::string line = trimmed(raw);
        if (line.empty() || line[0] == '#')
            continue;
        if (line.front() == '[')
        {
            if (line.back() != ']')
                fail(number, "a preset's name is written [NAME]");
            finish();
            PresetDefinition preset;
            preset.name = trimmed(line.substr(1, line.size() - 2));
            preset.line = number;
            if (!fitsFileName(preset.name))
                fail(number, "'" + preset.name + "' cannot be a preset's file name");
            if (!names.insert(lowerCase(preset.name)).second)
                fail(number, "a second preset called '" + preset.name + "'");
            presets.push_back(preset);
            continue;
        }
        auto equals = line.find('=');
        if (equals == std::string::npos)
            fail(number, "expected TITLE = VALUE, not '" + line + "'");
        if (presets.empty())
            fail(number, "a value before the first [preset name]");
        std::string key = trimmed(line.substr(0, equals));
        std::string value = trimmed(line.substr(equals + 1));
        if (key.empty() || value.empty())
            fail(number, "expected TITLE = VALUE, not '" + line + "'");
        PresetDefinition& preset = presets.back();
        if (key == "for")
            preset.purpose = value;
        else if (key == "signal")
            preset.signal = value;
        else
        {
            for (const auto& [title, shown] : preset.values)
                if (lowerCase(title) == lowerCase(key))
                    fail(number, "'" + key + "' is set twice in preset '" + preset.name + "'");
            preset.values.emplace_back(key, value);
        }
    }
    finish();
    if (presets.empty())
        throw HostError(kExitInput, path + ": no presets in it");
    return presets;
}

std::vector<PresetDefinition> readPresetSource(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw HostError(kExitInput, "cannot read the preset source '" + path + "'");
    std::stringstream text;
    text << in.rdbuf();
    return parsePresetSource(text.str(), path);
}

std::string presetTable(const std::vector<PresetDefinition>& presets)
{
    std::string table = "| Preset | For | Key settings |\n|---|---|---|\n";
    for (const auto& preset : presets)
    {
        std::string settings;
        for (const auto& [title, value] : preset.values)
            settings += (settings.empty() ? "" : ", ") + title + " " + value;
        table += "| " + cell(preset.name) + " | " + cell(preset.purpose) + " | " + cell(settings) +
                 " |\n";
    }
    return table;
}

} // namespace Quorvane
