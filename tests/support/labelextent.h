// Whether an editor's labels are drawn whole inside their panels, on either back end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace VSTGUI
{
class CFrame;
}

namespace QuorvaneTest
{

// The texts of the frame's labels (not its text fields) whose ink leaves the label's box or the
// panel that holds the box. Ink is what visibly changes when the text goes, drawn in a box wide
// enough for any text; PICTURE gives the frame's picture as it is now (ARGB, row by row).
std::vector<std::string> labelsNotDrawnWhole(VSTGUI::CFrame* frame,
                                             const std::function<std::vector<uint32_t>()>& picture);

} // namespace QuorvaneTest
