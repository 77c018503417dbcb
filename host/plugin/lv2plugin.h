// A plug-in hosted through LV2, the way an LV2 host loads it: lilv reads the bundle's .ttl files,
// and each of the bundle's plug-ins is a channel layout (mono or stereo, with a side-chain input
// or without). `start` instantiates the one that fits the file; the control ports are the same
// in all of them.
//
// LV2 ports carry the values users read (dB, ms...); this host's normalized value of a port is
// its place between the port's minimum and maximum, computed so that a value typed with --set
// reaches the port as exactly that number.
#pragma once

#include "hostedplugin.h"

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <string>
#include <vector>

namespace Quorvane
{

class Lv2Plugin : public HostedPlugin
{
public:
    // PATH is the bundle's folder. Throws HostError (kExitPlugin) when it holds no LV2 plug-in.
    explicit Lv2Plugin(const std::string& path);
    ~Lv2Plugin() override;

    Lv2Plugin(const Lv2Plugin&) = delete;
    Lv2Plugin& operator=(const Lv2Plugin&) = delete;

    std::string path() const override { return bundlePath; }
    void describe(std::ostream& out) override;

    // One parameter per control port, its ID the port's index.
    std::vector<ParameterDescription> parameters() override;
    double parameterValue(uint32_t id) override;
    std::string displayText(uint32_t id, double normalized) override;
    // A number in the port's units (beyond the range: the nearer end), a scale point's label,
    // or "on"/"off" for a toggle.
    std::optional<double> parseDisplayText(uint32_t id, const std::string& text) override;
    void setParameter(uint32_t id, double normalized) override;

    // LV2 presets are not files: values are given with --set.
    void loadPreset(const std::string& file) override;
    void savePreset(const std::string& file) override;

    bool hasSideChainInput() override;
    void start(double sampleRate, int channels, int maxBlockSize, bool sideChain) override;
    void process(const AudioBlock& block, std::vector<OutputValue>& outputs) override;
    // A port value set reaches the plug-in with the next run.
    void flushParameters() override {}
    void stop() override;

private:
    struct ControlPort
    {
        uint32_t index;
        std::string symbol, name, unit;
        float minimum, maximum, defaultValue;
        bool output, toggled;
        std::vector<std::pair<std::string, float>> scalePoints;
    };
    struct Layout
    {
        const LilvPlugin* plugin;
        std::vector<uint32_t> inputs, sideChain, outputs;
    };

    const ControlPort* control(uint32_t id) const;
    double normalizedOf(const ControlPort& port, float value) const;
    float valueOf(const ControlPort& port, double normalized) const;

    std::string bundlePath;
    LilvWorld* world = nullptr;
    std::vector<Layout> layouts;
    std::vector<ControlPort> controls; // by port index; audio ports are left out
    std::vector<float> values;         // every port's value, by index
    std::vector<std::string> uris;
    LV2_URID_Map map{};
    LV2_Feature mapFeature{};
    const Layout* running = nullptr;
    LilvInstance* instance = nullptr;
};

// The bundle beside an installed quorvane (BIN/../lib/lv2), this build tree's, or ~/.lv2's.
std::string defaultLv2BundlePath();

// Whether a --plugin path names an LV2 bundle (a folder NAME.lv2).
bool isLv2BundlePath(const std::string& path);

} // namespace Quorvane
