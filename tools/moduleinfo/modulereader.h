// A VST 3 module read the way a host of this platform reads it: load, enter,
// GetPluginFactory, then the factory's own records; leave and unload when it
// goes (modulelibrary.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Quorvane
{

struct FactoryRecord
{
    std::string vendor;
    std::string url;
    std::string email;
    int32_t flags = 0;
};

struct ClassRecord
{
    std::string cid; // 32 upper-case hex digits, as FUID::toString prints them
    std::string category;
    std::string name;
    std::string vendor;
    std::string version;
    std::string sdkVersion;
    std::string subCategories; // "Fx|Gate"
    uint32_t classFlags = 0;
    int32_t cardinality = 0;
};

struct ModuleRecords
{
    FactoryRecord factory;
    std::vector<ClassRecord> classes;
};

// Reads the module at LIBRARY (the shared library inside the bundle).
// Throws std::runtime_error with the reason when it cannot.
ModuleRecords readModule(const std::string& library);

} // namespace Quorvane
