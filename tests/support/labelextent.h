// Whether an editor's labels are drawn whole, inside their panels, on either back end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace VSTGUI {
class CFrame;
}

namespace QuorvaneTest {

// The frame's picture as it is now: ARGB, row by row, the frame's width and height.
using FramePicture = std::function<std::vector<uint32_t>()>;

// The texts of the frame's labels (not its text fields) that are not drawn whole inside the
// panel under them. A label's ink is what changes when its text goes; it is taken in the label's
// own box and in one wide enough for any text: the two must be the same (nothing cut off at the
// box's edges), and lie inside the panel that holds the box.
std::vector<std::string> labelsNotDrawnWhole(VSTGUI::CFrame* frame, const FramePicture& picture);

} // namespace QuorvaneTest
