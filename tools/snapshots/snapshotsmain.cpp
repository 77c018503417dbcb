// quorvane_snapshots DIR: writes DIR/<CID>_snapshot.png and
// DIR/<CID>_snapshot_2.0x.png, the pictures of the editor that hosts show in
// their plug-in browsers, named after the processor's class ID.
#include "classids.h"
#include "editorpicture.h"

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: quorvane_snapshots DIR\n");
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(argv[1], error);
    char cid[33]{};
    Quorvane::kProcessorUID.toString(cid);
    const std::string base = std::string(argv[1]) + "/" + cid + "_snapshot";
    for (auto [suffix, scale] : {std::pair<const char*, double>{".png", 1.0}, {"_2.0x.png", 2.0}})
    {
        if (!Quorvane::writeEditorPicture(base + suffix, scale))
        {
            std::fprintf(stderr, "quorvane_snapshots: could not write %s%s\n", base.c_str(),
                         suffix);
            return 1;
        }
    }
    return 0;
}
