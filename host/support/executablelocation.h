// Where the running `quorvane` lives, so that an installed or unpacked copy
// finds the plug-in and presets that came with it (../lib/vst3, ../share).
#pragma once

#include <filesystem>

namespace Quorvane
{

// The folder of the running executable; empty when it cannot be told.
std::filesystem::path executableFolder();

} // namespace Quorvane
