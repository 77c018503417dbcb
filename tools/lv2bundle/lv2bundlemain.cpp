// `quorvane_lv2bundle PRESETS.ini BUNDLE`: writes the LV2 bundle's data files from the tables
// the binary itself uses: manifest.ttl, quorvane.ttl (the four plug-ins and their ports, with
// ranges, defaults and units from the parameters) and presets.ttl (the factory presets as port
// values). A preset value that the ports could not carry with the bits the parameter's own text
// entry gives it stops the build.
#include "displayvalue.h"
#include "lv2ports.h"
#include "parametertext.h"
#include "paramtable.h"
#include "presets/presetsource.h"
#include "support/hosterror.h"

#include "public.sdk/source/vst/vstparameters.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace Quorvane
{
namespace
{

using namespace Steinberg::Vst;

const char kPrefixes[] = "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
                         "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                         "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                         "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                         "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
                         "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
                         "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                         "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                         "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                         "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                         "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                         "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                         "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

const char kProject[] = "http://ostrelle.example/quorvane";

// A float as Turtle reads it back to the same float: a decimal or an exponent form.
std::string number(float value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.9g", double(value));
    std::string s = text;
    if (s.find_first_of(".e") == std::string::npos)
        s += ".0";
    return s;
}

std::string ascii(const TChar* text)
{
    std::string s;
    for (; *text; ++text)
        s += char(*text);
    return s;
}

std::string title(uint32_t id)
{
    return ascii(findParamDescription(id)->title);
}

bool offAtZero(uint32_t id)
{
    return id == kHoldClosedId || id == kAttackDelayId || id == kNoteTruncationId ||
           id == kBeatSkipId;
}

// Times whose every value is above zero are spread over their range logarithmically.
bool logarithmic(uint32_t id)
{
    const DisplayRange r = displayRange(id);
    return r.unit == DisplayUnit::milliseconds && r.minimum > 0.f;
}

void writeControlPort(std::ostream& out, uint32_t id)
{
    const DisplayRange r = displayRange(id);
    const bool output = isOutputParam(id);
    out << "    [\n        a lv2:" << (output ? "OutputPort" : "InputPort")
        << " , lv2:ControlPort ;\n        lv2:index " << id << " ;\n        lv2:symbol \""
        << lv2Symbol(id) << "\" ;\n        lv2:name \"" << title(id) << "\" ;\n"
        << "        lv2:default " << number(r.defaultValue) << " ;\n        lv2:minimum "
        << number(r.minimum) << " ;\n        lv2:maximum " << number(r.maximum) << " ;\n";
    switch (r.unit)
    {
    case DisplayUnit::toggle:
        out << "        lv2:portProperty lv2:toggled , lv2:integer ;\n";
        break;
    case DisplayUnit::decibels:
        out << "        units:unit units:db ;\n";
        break;
    case DisplayUnit::milliseconds:
        out << "        units:unit units:ms ;\n";
        break;
    case DisplayUnit::percent:
        out << "        units:unit units:pc ;\n";
        break;
    }
    if (logarithmic(id))
        out << "        lv2:portProperty pprops:logarithmic ;\n";
    if (offAtZero(id))
        out << "        lv2:scalePoint [ rdfs:label \"off\" ; rdf:value 0.0 ] ;\n";
    out << "    ]";
}

struct AudioPort
{
    std::string symbol, name, group, designation;
    bool input, sideChain;
};

void writeAudioPort(std::ostream& out, uint32_t index, const AudioPort& p)
{
    out << "    [\n        a lv2:" << (p.input ? "InputPort" : "OutputPort")
        << " , lv2:AudioPort ;\n        lv2:index " << index << " ;\n        lv2:symbol \""
        << p.symbol << "\" ;\n        lv2:name \"" << p.name << "\" ;\n        pg:group <"
        << p.group << "> ;\n        lv2:designation pg:" << p.designation << " ;\n";
    if (p.sideChain)
        out << "        lv2:portProperty lv2:isSideChain ;\n";
    out << "    ]";
}

// The ports of one bus: "in", "out" or "sc", one channel (center) or two (left, right).
void addBus(std::vector<AudioPort>& ports, const std::string& uri, const std::string& symbol,
            const std::string& name, int channels, bool input, bool sideChain)
{
    const std::string group = uri + "#" + symbol;
    if (channels == 1)
        ports.push_back({symbol, name, group, "center", input, sideChain});
    else
        for (const char* side : {"left", "right"})
            ports.push_back({symbol + "_" + side[0], name + (side[0] == 'l' ? " L" : " R"), group,
                             side, input, sideChain});
}

void writeGroup(std::ostream& out, const std::string& uri, const char* symbol, const char* label,
                int channels, bool input, const char* extra)
{
    out << "<" << uri << "#" << symbol
        << ">\n    a pg:" << (channels == 1 ? "MonoGroup" : "StereoGroup")
        << " , pg:" << (input ? "InputGroup" : "OutputGroup") << " ;\n    lv2:symbol \"" << symbol
        << "\" ;\n    rdfs:label \"" << label << "\"" << extra << " .\n\n";
}

void writePlugin(std::ostream& out, const Lv2Variant& v)
{
    const std::string uri = v.uri;
    writeGroup(out, uri, "in", "Input", v.mainChannels, true, "");
    writeGroup(out, uri, "out", "Output", v.mainChannels, false,
               (" ;\n    pg:source <" + uri + "#in>").c_str());
    if (v.sideChainChannels)
        writeGroup(out, uri, "sc", "Side Chain", v.sideChainChannels, true,
                   (" ;\n    pg:sideChainOf <" + uri + "#in>").c_str());

    out << "<" << uri << ">\n    a lv2:Plugin , lv2:GatePlugin ;\n    doap:name \"" << v.name
        << "\" ;\n    lv2:project <" << kProject
        << "> ;\n"
           "    lv2:optionalFeature lv2:hardRTCapable , urid:map ;\n"
           "    lv2:extensionData state:interface ;\n"
           "    ui:ui <"
        << kLv2UiUri << "> ;\n    pg:mainInput <" << uri << "#in> ;\n    pg:mainOutput <" << uri
        << "#out> ;\n    lv2:port\n";
    for (uint32_t id = 0; id < kNumParams; ++id)
    {
        writeControlPort(out, id);
        out << " ,\n";
    }
    std::vector<AudioPort> audio;
    addBus(audio, uri, "in", "In", v.mainChannels, true, false);
    if (v.sideChainChannels)
        addBus(audio, uri, "sc", "Side Chain", v.sideChainChannels, true, true);
    addBus(audio, uri, "out", "Out", v.mainChannels, false, false);
    for (size_t i = 0; i < audio.size(); ++i)
    {
        writeAudioPort(out, uint32_t(kNumParams + i), audio[i]);
        out << (i + 1 < audio.size() ? " ,\n" : " .\n\n");
    }
}

std::string presetUri(const std::string& name)
{
    std::string slug;
    for (char c : name)
        if (std::isalnum(static_cast<unsigned char>(c)))
            slug += char(std::tolower(static_cast<unsigned char>(c)));
        else if (!slug.empty() && slug.back() != '-')
            slug += '-';
    return QUORVANE_LV2_URI "/presets#" + slug;
}

// The port value for a preset's display text, checked against the parameter's own reading.
float presetPortValue(uint32_t id, const std::string& text, const PresetDefinition& preset)
{
    std::u16string wide(text.begin(), text.end());
    Steinberg::IPtr<Parameter> parameter = Steinberg::owned(createParameter(id));
    ParamValue expected = -1.;
    if (!parameter->fromString(reinterpret_cast<const TChar*>(wide.c_str()), expected))
        throw HostError(kExitInput, preset.name + ": '" + text + "' is no value of " + title(id));
    float value = 0.f;
    if (!scanTypedNumber(reinterpret_cast<const TChar*>(wide.c_str()), value))
        value = isTypedWord(reinterpret_cast<const TChar*>(wide.c_str()), "on") ? 1.f : 0.f;
    ParamValue normalized = -1.;
    if (!normalizedFromDisplay(id, value, normalized) || normalized != expected)
        throw HostError(kExitInput, preset.name + ": the port value " + number(value) + " of " +
                                        title(id) + " is not what '" + text + "' gives");
    return value;
}

void writePresets(std::ostream& out, std::ostream& manifest,
                  const std::vector<PresetDefinition>& presets)
{
    for (const PresetDefinition& preset : presets)
    {
        float values[kNumInputParams];
        for (uint32_t id = 0; id < kNumInputParams; ++id)
            values[id] = displayRange(id).defaultValue;
        for (const auto& [name, text] : preset.values)
        {
            uint32_t id = 0;
            while (id < kNumInputParams && title(id) != name)
                ++id;
            if (id == kNumInputParams)
                throw HostError(kExitInput, preset.name + ": no parameter is called " + name);
            values[id] = presetPortValue(id, text, preset);
        }
        const std::string uri = presetUri(preset.name);
        manifest << "<" << uri << ">\n    a pset:Preset ;\n    lv2:appliesTo";
        for (int v = 0; v < kNumLv2Variants; ++v)
            manifest << (v ? " ," : "") << " <" << kLv2Variants[v].uri << ">";
        manifest << " ;\n    rdfs:seeAlso <presets.ttl> .\n\n";
        out << "<" << uri << ">\n    a pset:Preset ;\n    rdfs:label \"" << preset.name
            << "\" ;\n    rdfs:comment \"" << preset.purpose << "\" ;\n    lv2:port\n";
        for (uint32_t id = 0; id < kNumInputParams; ++id)
            out << "        [ lv2:symbol \"" << lv2Symbol(id) << "\" ; pset:value "
                << number(values[id]) << " ]" << (id + 1 < kNumInputParams ? " ,\n" : " .\n\n");
    }
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
    if (!file.flush())
        throw HostError(kExitOutput, "cannot write " + path);
}

} // namespace
} // namespace Quorvane

int main(int argc, char** argv)
{
    using namespace Quorvane;
    if (argc != 3)
    {
        std::cerr << "usage: quorvane_lv2bundle PRESETS.ini BUNDLE\n";
        return kExitUsage;
    }
    try
    {
        const std::string bundle = argv[2];
        std::ostringstream manifest, plugins, presets;
        manifest << kPrefixes;
        plugins << kPrefixes;
        presets << kPrefixes;
        for (const Lv2Variant& v : kLv2Variants)
            manifest << "<" << v.uri << ">\n    a lv2:Plugin ;\n    lv2:binary <Quorvane.so> ;\n"
                     << "    rdfs:seeAlso <quorvane.ttl> .\n\n";
        manifest << "<" << kLv2UiUri << ">\n    a ui:X11UI ;\n    ui:binary <QuorvaneUI.so> ;\n"
                 << "    rdfs:seeAlso <quorvane.ttl> .\n\n";
        plugins << "<" << kProject << ">\n    a doap:Project ;\n    doap:name \"Quorvane\" ;\n"
                << "    doap:license <https://spdx.org/licenses/GPL-3.0-or-later> ;\n"
                << "    doap:maintainer [ foaf:name \"Ostrelle\" ; foaf:homepage <" << kProject
                << "> ] .\n\n";
        for (const Lv2Variant& v : kLv2Variants)
            writePlugin(plugins, v);
        plugins << "<" << kLv2UiUri << ">\n    a ui:X11UI ;\n"
                << "    lv2:requiredFeature ui:parent ;\n"
                << "    lv2:optionalFeature ui:resize , ui:idleInterface , ui:touch ;\n"
                << "    lv2:extensionData ui:idleInterface .\n";
        writePresets(presets, manifest, readPresetSource(argv[1]));
        writeFile(bundle + "/manifest.ttl", manifest.str());
        writeFile(bundle + "/quorvane.ttl", plugins.str());
        writeFile(bundle + "/presets.ttl", presets.str());
    }
    catch (const HostError& e)
    {
        std::cerr << "quorvane_lv2bundle: " << e.what() << "\n";
        return e.code();
    }
    return kExitOk;
}
