// The editor in known states, rendered off-screen to PNG files: the same code on Linux and on
// Windows, so that the two back ends' pictures of one state can be compared.
#pragma once

namespace Quorvane
{
class againController;
}

namespace QuorvaneTest
{

enum class EditorState
{
    // The default values and a few meter readings (the README's picture).
    Snapshot,
    // Every control away from its default (each knob on another frame), switches in both
    // positions, every meter lit to its own height.
    Varied,
};

// Sets the controller's parameters (meters included) to the state.
void applyEditorState(Quorvane::againController& controller, EditorState state);

// Opens an editor off-screen on a new controller at the display scale, applies the state, lets
// one timer tick show the meters and writes the picture; false when any of it fails.
bool renderEditorState(EditorState state, const char* pngPath, double scale = 1);

} // namespace QuorvaneTest
