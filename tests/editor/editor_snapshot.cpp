// Renders the editor off-screen with its default values and a few meter readings, and writes
// it as a PNG: editor_snapshot OUT.png
#include "editorstate.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: editor_snapshot OUT.png\n");
        return 2;
    }
    if (!QuorvaneTest::renderEditorState(QuorvaneTest::EditorState::Snapshot, argv[1]))
    {
        std::fprintf(stderr, "editor_snapshot: could not render the editor to %s\n", argv[1]);
        return 1;
    }
    return 0;
}
