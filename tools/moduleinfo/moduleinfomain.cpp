// quorvane_moduleinfo BUNDLE OUT.json [VERSION]: reads the bundle's module
// through its factory and writes the records as moduleinfo.json (VERSION
// defaults to the first class's version).
#include "moduleinfojson.h"
#include "modulelibrary.h"
#include "modulereader.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4)
    {
        std::fprintf(stderr, "usage: quorvane_moduleinfo BUNDLE OUT.json [VERSION]\n");
        return 2;
    }
    namespace fs = std::filesystem;
    try
    {
        const fs::path bundle = fs::path(argv[1]).lexically_normal();
        std::string name = (bundle.has_filename() ? bundle : bundle.parent_path()).stem().string();
        const fs::path library = Quorvane::moduleLibraryPath(bundle, name);
        auto records = Quorvane::readModule(library.string());
        std::string version =
            argc == 4 ? argv[3] : (records.classes.empty() ? "" : records.classes[0].version);
        auto json = Quorvane::moduleInfoJson(records, name, version, bundle.string());

        const fs::path out = argv[2];
        const fs::path temporary = out.string() + ".tmp";
        {
            std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
            file << json.dump(2) << "\n";
            if (!file)
                throw std::runtime_error("cannot write " + temporary.string());
        }
        fs::rename(temporary, out);
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "quorvane_moduleinfo: %s\n", error.what());
        return 1;
    }
    return 0;
}
