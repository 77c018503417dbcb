// editor_state_render snapshot|varied OUT.png [SCALE]: the editor in a known state, rendered
// off-screen (at a display scale).
#include "editorstate.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4 ||
        (std::strcmp(argv[1], "snapshot") != 0 && std::strcmp(argv[1], "varied") != 0))
    {
        std::fprintf(stderr, "usage: editor_state_render snapshot|varied OUT.png [SCALE]\n");
        return 2;
    }
    const auto state = std::strcmp(argv[1], "varied") == 0 ? QuorvaneTest::EditorState::Varied
                                                           : QuorvaneTest::EditorState::Snapshot;
    if (!QuorvaneTest::renderEditorState(state, argv[2], argc == 4 ? std::atof(argv[3]) : 1.0))
    {
        std::fprintf(stderr, "editor_state_render: could not render the editor to %s\n", argv[2]);
        return 1;
    }
    return 0;
}
