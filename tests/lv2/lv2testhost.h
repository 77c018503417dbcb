// A small LV2 host on lilv for the tests: loads the built bundle (and nothing else installed),
// instantiates a plug-in with urid:map as every host gives it, and runs it on given signals.
#pragma once

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <map>
#include <string>
#include <vector>

namespace Quorvane::Test
{

using Channels = std::vector<std::vector<float>>;

class Lv2TestWorld
{
public:
    Lv2TestWorld();
    ~Lv2TestWorld();

    LilvWorld* world() const { return lilvWorld; }
    const LilvPlugin* plugin(const std::string& uri) const;
    LV2_URID_Map* map() { return &uridMap; }
    LV2_URID_Unmap* unmap() { return &uridUnmap; }
    const LV2_Feature* const* features() const { return featureList; }

private:
    LilvWorld* lilvWorld;
    std::vector<std::string> uris;
    LV2_URID_Map uridMap;
    LV2_URID_Unmap uridUnmap;
    LV2_Feature mapFeature, unmapFeature;
    const LV2_Feature* featureList[3];
};

class Lv2TestInstance
{
public:
    Lv2TestInstance(Lv2TestWorld& world, const std::string& uri, double rate = 48000.);
    ~Lv2TestInstance();

    float& control(const std::string& symbol) { return controls.at(symbol); }
    const std::map<std::string, float>& controlValues() const { return controls; }
    int audioInputs() const { return int(inputs.size()); }

    // Runs the signal (one vector per audio input, all of one length) through in blocks; in
    // place, the outputs share the first inputs' buffers, as hosts may have them.
    Channels run(const Channels& input, uint32_t block = 256, bool inPlace = false);

    LilvState* save();
    // The state into the instance; with setPorts the port values it holds too, as lilv does.
    void restore(const LilvState* state, bool setPorts = true);
    // Only the port values a state holds, as a host that sets them on its own.
    void setPorts(const LilvState* state);
    LilvInstance* instance() const { return lilvInstance; }

private:
    void connect(uint32_t frames, bool inPlace);

    Lv2TestWorld& world;
    const LilvPlugin* plugin;
    LilvInstance* lilvInstance = nullptr;
    std::map<std::string, float> controls;
    std::map<uint32_t, float*> controlPorts;
    std::vector<uint32_t> inputs, outputs;
    Channels inputBuffers, outputBuffers;
};

struct PortRange
{
    float defaultValue, minimum, maximum;
};
PortRange portRange(const LilvPlugin* plugin, uint32_t index);

// A test signal: tone bursts, loud and soft by turns, over a little noise.
std::vector<float> burstSignal(int frames, int seed, int burst);

} // namespace Quorvane::Test
