#include "lv2plugin.h"

#include "support/executablelocation.h"
#include "support/hosterror.h"

#include <lv2/core/lv2.h>
#include <lv2/units/units.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>

namespace Quorvane
{

namespace
{

LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri)
{
    auto& uris = *static_cast<std::vector<std::string>*>(handle);
    auto found = std::find(uris.begin(), uris.end(), uri);
    if (found == uris.end())
        found = uris.insert(uris.end(), uri);
    return LV2_URID(found - uris.begin() + 1);
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// The units this host shows: the abbreviation of the units the port names.
std::string unitText(const char* uri)
{
    if (!uri)
        return "";
    const std::string u = uri;
    if (u == LV2_UNITS__db)
        return "dB";
    if (u == LV2_UNITS__ms)
        return "ms";
    if (u == LV2_UNITS__pc)
        return "%";
    return "";
}

} // namespace

Lv2Plugin::Lv2Plugin(const std::string& path) : bundlePath(path)
{
    // lilv reports a missing bundle on standard error in words of its own: look first.
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::path(path) / "manifest.ttl", error))
        pluginError("no LV2 bundle at '" + path + "' (a folder NAME.lv2 with manifest.ttl)");
    world = lilv_world_new();
    map = {&uris, mapUri};
    mapFeature = {LV2_URID__map, &map};
    lilv_world_load_specifications(world);
    std::string folder = path;
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    LilvNode* bundle = lilv_new_file_uri(world, nullptr, folder.c_str());
    lilv_world_load_bundle(world, bundle);

    LilvNode* audio = lilv_new_uri(world, LV2_CORE__AudioPort);
    LilvNode* control = lilv_new_uri(world, LV2_CORE__ControlPort);
    LilvNode* input = lilv_new_uri(world, LV2_CORE__InputPort);
    LilvNode* sideChain = lilv_new_uri(world, LV2_CORE_PREFIX "isSideChain");
    LilvNode* toggled = lilv_new_uri(world, LV2_CORE__toggled);
    LilvNode* unit = lilv_new_uri(world, LV2_UNITS__unit);
    const LilvPlugins* all = lilv_world_get_all_plugins(world);
    LILV_FOREACH(plugins, i, all)
    {
        const LilvPlugin* plugin = lilv_plugins_get(all, i);
        if (!lilv_node_equals(lilv_plugin_get_bundle_uri(plugin), bundle))
            continue;
        Layout layout{plugin, {}, {}, {}};
        const bool describeControls = controls.empty();
        for (uint32_t p = 0; p < lilv_plugin_get_num_ports(plugin); ++p)
        {
            const LilvPort* port = lilv_plugin_get_port_by_index(plugin, p);
            const bool isInput = lilv_port_is_a(plugin, port, input);
            if (lilv_port_is_a(plugin, port, audio))
            {
                if (!isInput)
                    layout.outputs.push_back(p);
                else if (lilv_port_has_property(plugin, port, sideChain))
                    layout.sideChain.push_back(p);
                else
                    layout.inputs.push_back(p);
                continue;
            }
            if (!describeControls || !lilv_port_is_a(plugin, port, control))
                continue;
            LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
            lilv_port_get_range(plugin, port, &def, &min, &max);
            ControlPort c{p,
                          lilv_node_as_string(lilv_port_get_symbol(plugin, port)),
                          "",
                          "",
                          min ? lilv_node_as_float(min) : 0.f,
                          max ? lilv_node_as_float(max) : 1.f,
                          def ? lilv_node_as_float(def) : 0.f,
                          !isInput,
                          lilv_port_has_property(plugin, port, toggled),
                          {}};
            LilvNode* name = lilv_port_get_name(plugin, port);
            c.name = lilv_node_as_string(name);
            lilv_node_free(name);
            if (LilvNodes* units = lilv_port_get_value(plugin, port, unit))
            {
                c.unit = unitText(lilv_node_as_uri(lilv_nodes_get_first(units)));
                lilv_nodes_free(units);
            }
            if (LilvScalePoints* points = lilv_port_get_scale_points(plugin, port))
            {
                LILV_FOREACH(scale_points, s, points)
                {
                    const LilvScalePoint* point = lilv_scale_points_get(points, s);
                    c.scalePoints.emplace_back(
                        lilv_node_as_string(lilv_scale_point_get_label(point)),
                        lilv_node_as_float(lilv_scale_point_get_value(point)));
                }
                lilv_scale_points_free(points);
            }
            lilv_node_free(def);
            lilv_node_free(min);
            lilv_node_free(max);
            controls.push_back(c);
        }
        layouts.push_back(layout);
    }
    for (LilvNode* node : {audio, control, input, sideChain, toggled, unit, bundle})
        lilv_node_free(node);
    if (layouts.empty())
    {
        lilv_world_free(world);
        pluginError("no LV2 plug-in in " + path + " (a bundle folder NAME.lv2 is expected)");
    }
    uint32_t ports = 0;
    for (const ControlPort& c : controls)
        ports = std::max(ports, c.index + 1);
    values.assign(ports, 0.f);
    for (const ControlPort& c : controls)
        values[c.index] = c.defaultValue;
}

Lv2Plugin::~Lv2Plugin()
{
    stop();
    lilv_world_free(world);
}

void Lv2Plugin::describe(std::ostream& out)
{
    out << "Bundle   " << bundlePath << "\n";
    for (const Layout& layout : layouts)
    {
        LilvNode* name = lilv_plugin_get_name(layout.plugin);
        out << "LV2      " << lilv_node_as_uri(lilv_plugin_get_uri(layout.plugin)) << "  \""
            << lilv_node_as_string(name) << "\"  " << layout.inputs.size() << " in, "
            << layout.sideChain.size() << " side chain, " << layout.outputs.size() << " out\n";
        lilv_node_free(name);
    }
}

const Lv2Plugin::ControlPort* Lv2Plugin::control(uint32_t id) const
{
    for (const ControlPort& c : controls)
        if (c.index == id)
            return &c;
    return nullptr;
}

double Lv2Plugin::normalizedOf(const ControlPort& port, float value) const
{
    if (port.maximum <= port.minimum)
        return 0.;
    const double n = (double(value) - port.minimum) / (double(port.maximum) - port.minimum);
    return std::clamp(n, 0., 1.);
}

float Lv2Plugin::valueOf(const ControlPort& port, double normalized) const
{
    if (port.toggled)
        return normalized > 0.5 ? port.maximum : port.minimum;
    return float(port.minimum + normalized * (double(port.maximum) - port.minimum));
}

std::vector<ParameterDescription> Lv2Plugin::parameters()
{
    std::vector<ParameterDescription> list;
    for (const ControlPort& c : controls)
    {
        ParameterDescription d;
        d.id = c.index;
        d.title = c.name;
        d.units = c.unit;
        d.stepCount = c.toggled ? 1 : 0;
        d.defaultNormalized = normalizedOf(c, c.defaultValue);
        d.readOnly = c.output;
        d.automatable = !c.output;
        list.push_back(d);
    }
    return list;
}

double Lv2Plugin::parameterValue(uint32_t id)
{
    const ControlPort* c = control(id);
    return c ? normalizedOf(*c, values[id]) : 0.;
}

std::string Lv2Plugin::displayText(uint32_t id, double normalized)
{
    const ControlPort* c = control(id);
    if (!c)
        return "";
    const float value = valueOf(*c, normalized);
    if (c->toggled)
        return value > 0.5f ? "on" : "off";
    for (const auto& [label, point] : c->scalePoints)
        if (point == value)
            return label;
    char text[64];
    std::snprintf(text, sizeof(text), "%.6g%s%s", double(value), c->unit.empty() ? "" : " ",
                  c->unit.c_str());
    return text;
}

std::optional<double> Lv2Plugin::parseDisplayText(uint32_t id, const std::string& given)
{
    const ControlPort* c = control(id);
    if (!c || c->output)
        return std::nullopt;
    const std::string text = lower(trimmed(given));
    if (c->toggled && (text == "on" || text == "off"))
        return text == "on" ? 1. : 0.;
    for (const auto& [label, point] : c->scalePoints)
        if (lower(label) == text)
            return normalizedOf(*c, point);
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(value))
        return std::nullopt;
    const std::string rest = trimmed(end);
    if (!rest.empty() && lower(rest) != lower(c->unit))
        return std::nullopt;
    if (c->toggled)
        return value > 0.5f ? 1. : 0.;
    return normalizedOf(*c, std::clamp(value, c->minimum, c->maximum));
}

void Lv2Plugin::setParameter(uint32_t id, double normalized)
{
    if (const ControlPort* c = control(id); c && !c->output)
        values[id] = valueOf(*c, normalized);
}

void Lv2Plugin::loadPreset(const std::string&)
{
    throw HostError(kExitUsage, "an LV2 plug-in takes no preset files: set values with --set");
}

void Lv2Plugin::savePreset(const std::string& file)
{
    loadPreset(file);
}

bool Lv2Plugin::hasSideChainInput()
{
    return std::any_of(layouts.begin(), layouts.end(),
                       [](const Layout& l) { return !l.sideChain.empty(); });
}

void Lv2Plugin::start(double sampleRate, int channels, int, bool sideChain)
{
    stop();
    for (const Layout& layout : layouts)
        if (int(layout.inputs.size()) == channels && int(layout.outputs.size()) == channels &&
            layout.sideChain.empty() != sideChain)
            running = &layout;
    if (!running)
        pluginError("the bundle has no LV2 plug-in for " + std::to_string(channels) + " channels" +
                    (sideChain ? " with a side chain" : ""));
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    instance = lilv_plugin_instantiate(running->plugin, sampleRate, features);
    if (!instance)
        pluginError("the LV2 plug-in refuses to start at " + std::to_string(sampleRate) + " Hz");
    for (const ControlPort& c : controls)
        lilv_instance_connect_port(instance, c.index, &values[c.index]);
    lilv_instance_activate(instance);
}

void Lv2Plugin::process(const AudioBlock& block, std::vector<OutputValue>& outputs)
{
    outputs.clear();
    if (!instance)
        return;
    for (size_t c = 0; c < running->inputs.size(); ++c)
        lilv_instance_connect_port(instance, running->inputs[c],
                                   const_cast<float*>(block.input[c]));
    for (size_t c = 0; c < running->sideChain.size(); ++c)
        lilv_instance_connect_port(instance, running->sideChain[c],
                                   const_cast<float*>(block.sideChain[c]));
    for (size_t c = 0; c < running->outputs.size(); ++c)
        lilv_instance_connect_port(instance, running->outputs[c], block.output[c]);
    lilv_instance_run(instance, uint32_t(block.numSamples));
    for (const ControlPort& c : controls)
        if (c.output)
            outputs.push_back({c.index, normalizedOf(c, values[c.index])});
}

void Lv2Plugin::stop()
{
    if (!instance)
        return;
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
    instance = nullptr;
    running = nullptr;
}

std::string defaultLv2BundlePath()
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::path own = executableFolder(); !own.empty())
    {
        fs::path beside = (own.parent_path() / "lib" / "lv2" / "Quorvane.lv2").lexically_normal();
        if (fs::exists(beside, error))
            return beside.string();
    }
    const std::string built = QUORVANE_DEFAULT_LV2_BUNDLE;
    if (fs::exists(built, error))
        return built;
    if (const char* home = std::getenv("HOME"))
    {
        fs::path installed = fs::path(home) / ".lv2" / "Quorvane.lv2";
        if (fs::exists(installed, error))
            return installed.string();
    }
    return built;
}

bool isLv2BundlePath(const std::string& path)
{
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p.size() > 4 && lower(p.substr(p.size() - 4)) == ".lv2";
}

} // namespace Quorvane
