// editor_state_render snapshot|varied OUT.png: the editor in a known state, rendered off-screen.
#include "editorstate.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 3 || (std::strcmp(argv[1], "snapshot") != 0 && std::strcmp(argv[1], "varied") != 0))
    {
        std::fprintf(stderr, "usage: editor_state_render snapshot|varied OUT.png\n");
        return 2;
    }
    const auto state = std::strcmp(argv[1], "varied") == 0 ? QuorvaneTest::EditorState::Varied
                                                           : QuorvaneTest::EditorState::Snapshot;
    if (!QuorvaneTest::renderEditorState(state, argv[2]))
    {
        std::fprintf(stderr, "editor_state_render: could not render the editor to %s\n", argv[2]);
        return 1;
    }
    return 0;
}
