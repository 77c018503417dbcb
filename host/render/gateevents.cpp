#include "gateevents.h"

#include "support/hosterror.h"
#include "support/temporaryfile.h"

#include <algorithm>
#include <cstdio>

namespace Quorvane
{

namespace
{

constexpr float kLeastDepthDb = -1.0f;

} // namespace

std::vector<GateEvent> findGateEvents(const std::vector<RenderTrace::GateReading>& readings)
{
    std::vector<GateEvent> events;
    if (readings.empty())
        return events;
    float lowest = 0.0f;
    for (const auto& reading : readings)
        lowest = std::min(lowest, reading.gainDb);
    if (lowest > kLeastDepthDb)
        return events;
    const float openAbove = std::max(RenderTrace::kOpenGainDb, 0.5f * lowest);

    bool open = false;
    for (const auto& reading : readings)
    {
        bool nowOpen = reading.gainDb > openAbove;
        if (nowOpen != open)
            events.push_back({nowOpen, reading.frame});
        open = nowOpen;
    }
    return events;
}

std::string csvField(const std::string& field)
{
    if (field.find_first_of(",\"\n\r") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (char c : field)
    {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

void writeGateEventsCsv(const std::string& path, const std::vector<FileGateEvents>& files)
{
    TemporaryFile temporary(path);
    FILE* out = fdopen(temporary.takeDescriptor(), "w");
    if (!out)
        throw HostError(kExitOutput, "cannot write the gate events to '" + path + "'");
    std::fputs("file,event,seconds,sample\n", out);
    for (const auto& file : files)
    {
        const std::string name = csvField(file.file);
        for (const auto& event : file.events)
            std::fprintf(out, "%s,%s,%.6f,%lld\n", name.c_str(), event.opened ? "open" : "close",
                         static_cast<double>(event.frame) / file.sampleRate,
                         static_cast<long long>(event.frame));
    }
    bool failed = std::ferror(out) != 0;
    failed = std::fclose(out) != 0 || failed;
    if (failed)
        throw HostError(kExitOutput, "cannot write the gate events to '" + path + "'");
    temporary.commit();
}

} // namespace Quorvane
