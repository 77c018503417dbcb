// The moments a gate opened and closed, read from its meter, and the CSV
// file that lists them (what an editor needs to cut a track at its hits).
#pragma once

#include "rendertrace.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Quorvane
{

struct GateEvent
{
    bool opened = false; // true: the gate opened; false: it closed
    int64_t frame = 0;   // first frame of the meter reading in which it happened
};

// The gate counts as open while its gain is above half its depth in dB (the
// lowest gain it reached in the file), and at least above -6 dB; a gate that
// never went 1 dB below unity neither opened nor closed. A gate already open
// at the first reading opens at frame 0.
std::vector<GateEvent> findGateEvents(const std::vector<RenderTrace::GateReading>& readings);

// The events of one rendered file, as the CSV lists them.
struct FileGateEvents
{
    std::string file; // the input as the user named it
    double sampleRate = 0.0;
    std::vector<GateEvent> events;
};

// Writes "file,event,seconds,sample" rows, one per event, files in the given
// order. Replaces PATH only when the whole file was written; throws
// HostError (kExitOutput) otherwise.
void writeGateEventsCsv(const std::string& path, const std::vector<FileGateEvents>& files);

// FIELD quoted for a CSV cell when it needs quoting.
std::string csvField(const std::string& field);

} // namespace Quorvane
