// The module's records in the shape of moduleinfo.json.
#pragma once

#include "modulereader.h"

#include <nlohmann/json.hpp>

#include <string>

namespace Quorvane
{

// NAME is the bundle's name without ".vst3", VERSION the module's version.
// Snapshots are listed for each class whose pictures are in BUNDLE's
// Contents/Resources/Snapshots (<CID>_snapshot.png, <CID>_snapshot_2.0x.png).
nlohmann::ordered_json moduleInfoJson(const ModuleRecords& records, const std::string& name,
                                      const std::string& version, const std::string& bundle);

} // namespace Quorvane
