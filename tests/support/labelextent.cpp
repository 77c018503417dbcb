#include "labelextent.h"

#include "artwork/layout.h"

#include "vstgui/cframe.h"
#include "vstgui/ctextedit.h"

#include <algorithm>
#include <cstdlib>

namespace QuorvaneTest {

namespace {

using Quorvane::Artwork::Rect;

// The pixels of the picture that the label's text visibly covers when the label has the box:
// those whose largest colour channel changes by more than an eighth when the text goes (the
// faintest edge of a glyph's anti-aliasing does not count).
std::vector<bool> inkOf(VSTGUI::CTextLabel* label, const VSTGUI::CRect& box, const FramePicture& picture)
{
    const std::string text = label->getText();
    label->setViewSize(box);
    const std::vector<uint32_t> with = picture();
    label->setText("");
    const std::vector<uint32_t> without = picture();
    label->setText(text.c_str());
    std::vector<bool> ink(with.size());
    for (size_t i = 0; i < with.size() && i < without.size(); ++i)
        for (int shift = 0; shift < 24; shift += 8)
            ink[i] = ink[i] || std::abs(int((with[i] >> shift) & 0xff) - int((without[i] >> shift) & 0xff)) > 32;
    return ink;
}

const Rect* panelHolding(const VSTGUI::CRect& box)
{
    for (const Rect& panel : Quorvane::Artwork::Layout::panels)
        if (box.left >= panel.left && box.right <= panel.right && box.top >= panel.top && box.bottom <= panel.bottom)
            return &panel;
    return nullptr;
}

} // namespace

std::vector<std::string> labelsNotDrawnWhole(VSTGUI::CFrame* frame, const FramePicture& picture)
{
    const int width = int(frame->getWidth());
    std::vector<std::string> found;
    for (int32_t i = 0; i < frame->getNbViews(); ++i)
    {
        auto* label = dynamic_cast<VSTGUI::CTextLabel*>(frame->getView(i));
        if (!label || dynamic_cast<VSTGUI::CTextEdit*>(label))
            continue;
        const VSTGUI::CRect box = label->getViewSize();
        VSTGUI::CRect wide = box;
        wide.left -= width;
        wide.right += width;
        const std::vector<bool> drawn = inkOf(label, box, picture);
        const std::vector<bool> whole = inkOf(label, wide, picture);
        label->setViewSize(box);
        const Rect* panel = panelHolding(box);
        bool ok = true;
        for (size_t p = 0; p < whole.size() && ok; ++p)
        {
            const int x = int(p) % width, y = int(p) / width;
            // Inside the panel means within its rim, the outermost pixel all round.
            const bool inPanel = !panel || (x > panel->left && x < panel->right - 1 && y > panel->top &&
                                            y < panel->bottom - 1);
            ok = !whole[p] || (drawn[p] && inPanel);
        }
        if (!ok)
            found.push_back(label->getText());
    }
    return found;
}

} // namespace QuorvaneTest
