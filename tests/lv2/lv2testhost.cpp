#include "lv2testhost.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>

#include <algorithm>

#include <cmath>
#include <random>
#include <stdexcept>

namespace Quorvane::Test
{

namespace
{

LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri)
{
    auto& uris = *static_cast<std::vector<std::string>*>(handle);
    for (size_t i = 0; i < uris.size(); ++i)
        if (uris[i] == uri)
            return LV2_URID(i + 1);
    uris.emplace_back(uri);
    return LV2_URID(uris.size());
}

const char* unmapUri(LV2_URID_Unmap_Handle handle, LV2_URID urid)
{
    auto& uris = *static_cast<std::vector<std::string>*>(handle);
    return urid >= 1 && urid <= uris.size() ? uris[urid - 1].c_str() : nullptr;
}

void setPortValue(const char* symbol, void* data, const void* value, uint32_t size, uint32_t)
{
    if (size == sizeof(float))
        (*static_cast<std::map<std::string, float>*>(data))[symbol] =
            *static_cast<const float*>(value);
}

struct PortSource
{
    std::map<std::string, float>& controls;
    LV2_URID floatType;
};

const void* getPortValue(const char* symbol, void* data, uint32_t* size, uint32_t* type)
{
    auto* source = static_cast<PortSource*>(data);
    *size = sizeof(float);
    *type = source->floatType;
    return &source->controls.at(symbol);
}

} // namespace

Lv2TestWorld::Lv2TestWorld()
    : lilvWorld(lilv_world_new()), uridMap{&uris, mapUri}, uridUnmap{&uris, unmapUri},
      mapFeature{LV2_URID__map, &uridMap}, unmapFeature{LV2_URID__unmap, &uridUnmap},
      featureList{&mapFeature, &unmapFeature, nullptr}
{
    lilv_world_load_specifications(lilvWorld);
    LilvNode* bundle = lilv_new_file_uri(lilvWorld, nullptr, QUORVANE_TEST_LV2_BUNDLE "/");
    lilv_world_load_bundle(lilvWorld, bundle);
    lilv_node_free(bundle);
}

Lv2TestWorld::~Lv2TestWorld()
{
    lilv_world_free(lilvWorld);
}

const LilvPlugin* Lv2TestWorld::plugin(const std::string& uri) const
{
    LilvNode* node = lilv_new_uri(lilvWorld, uri.c_str());
    const LilvPlugin* p = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(lilvWorld), node);
    lilv_node_free(node);
    return p;
}

Lv2TestInstance::Lv2TestInstance(Lv2TestWorld& w, const std::string& uri, double rate)
    : world(w), plugin(w.plugin(uri))
{
    if (!plugin)
        throw std::runtime_error("no plug-in " + uri);
    lilvInstance = lilv_plugin_instantiate(plugin, rate, w.features());
    if (!lilvInstance)
        throw std::runtime_error("cannot instantiate " + uri);
    LilvWorld* lw = w.world();
    LilvNode* audio = lilv_new_uri(lw, LV2_CORE__AudioPort);
    LilvNode* input = lilv_new_uri(lw, LV2_CORE__InputPort);
    LilvNode* control = lilv_new_uri(lw, LV2_CORE__ControlPort);
    for (uint32_t i = 0; i < lilv_plugin_get_num_ports(plugin); ++i)
    {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
        const bool isInput = lilv_port_is_a(plugin, port, input);
        if (lilv_port_is_a(plugin, port, audio))
            (isInput ? inputs : outputs).push_back(i);
        else if (lilv_port_is_a(plugin, port, control))
        {
            LilvNode* def = nullptr;
            lilv_port_get_range(plugin, port, &def, nullptr, nullptr);
            const std::string symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, port));
            controls[symbol] = def ? lilv_node_as_float(def) : 0.f;
            lilv_node_free(def);
        }
    }
    lilv_node_free(audio);
    lilv_node_free(input);
    lilv_node_free(control);
    for (auto& [symbol, value] : controls)
    {
        LilvNode* s = lilv_new_string(lw, symbol.c_str());
        const uint32_t index =
            lilv_port_get_index(plugin, lilv_plugin_get_port_by_symbol(plugin, s));
        lilv_node_free(s);
        lilv_instance_connect_port(lilvInstance, index, &value);
    }
    lilv_instance_activate(lilvInstance);
}

Lv2TestInstance::~Lv2TestInstance()
{
    lilv_instance_deactivate(lilvInstance);
    lilv_instance_free(lilvInstance);
}

void Lv2TestInstance::connect(uint32_t frames, bool inPlace)
{
    inputBuffers.assign(inputs.size(), std::vector<float>(frames));
    outputBuffers.assign(outputs.size(), std::vector<float>(frames));
    for (size_t c = 0; c < inputs.size(); ++c)
        lilv_instance_connect_port(lilvInstance, inputs[c], inputBuffers[c].data());
    for (size_t c = 0; c < outputs.size(); ++c)
        lilv_instance_connect_port(lilvInstance, outputs[c],
                                   (inPlace ? inputBuffers : outputBuffers)[c].data());
}

Channels Lv2TestInstance::run(const Channels& input, uint32_t block, bool inPlace)
{
    const size_t frames = input.empty() ? 0 : input[0].size();
    Channels result(outputs.size(), std::vector<float>(frames));
    connect(block, inPlace);
    for (size_t done = 0; done < frames; done += block)
    {
        const uint32_t n = uint32_t(std::min<size_t>(block, frames - done));
        for (size_t c = 0; c < inputs.size(); ++c)
            std::copy_n(input.at(c).begin() + long(done), n, inputBuffers[c].begin());
        lilv_instance_run(lilvInstance, n);
        for (size_t c = 0; c < outputs.size(); ++c)
            std::copy_n((inPlace ? inputBuffers : outputBuffers)[c].begin(), n,
                        result[c].begin() + long(done));
    }
    return result;
}

LilvState* Lv2TestInstance::save()
{
    PortSource source{controls, world.map()->map(world.map()->handle, LV2_ATOM__Float)};
    return lilv_state_new_from_instance(plugin, lilvInstance, world.map(), nullptr, nullptr,
                                        nullptr, nullptr, getPortValue, &source, 0, nullptr);
}

void Lv2TestInstance::restore(const LilvState* state, bool setPorts)
{
    lilv_state_restore(state, lilvInstance, setPorts ? setPortValue : nullptr, &controls, 0,
                       world.features());
}

void Lv2TestInstance::setPorts(const LilvState* state)
{
    lilv_state_emit_port_values(state, setPortValue, &controls);
}

PortRange portRange(const LilvPlugin* plugin, uint32_t index)
{
    LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
    lilv_port_get_range(plugin, lilv_plugin_get_port_by_index(plugin, index), &def, &min, &max);
    PortRange range{def ? lilv_node_as_float(def) : NAN, min ? lilv_node_as_float(min) : NAN,
                    max ? lilv_node_as_float(max) : NAN};
    lilv_node_free(def);
    lilv_node_free(min);
    lilv_node_free(max);
    return range;
}

std::vector<float> burstSignal(int frames, int seed, int burst)
{
    std::mt19937 random(static_cast<uint32_t>(seed));
    std::uniform_real_distribution<float> noise(-0.003f, 0.003f);
    std::vector<float> s(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        s[size_t(i)] = ((i / burst) % 2 ? 0.01f : 0.8f) * std::sin(float(i) * 0.05f * float(seed)) +
                       noise(random);
    return s;
}

} // namespace Quorvane::Test
