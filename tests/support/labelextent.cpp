#include "labelextent.h"

#include "editorlayout.h"

#include "vstgui/cframe.h"
#include "vstgui/ctextedit.h"

#include <cstdlib>

namespace QuorvaneTest
{

std::vector<std::string> labelsNotDrawnWhole(VSTGUI::CFrame* frame,
                                             const std::function<std::vector<uint32_t>()>& picture)
{
    const int width = int(frame->getWidth());
    std::vector<std::string> found;
    for (int32_t i = 0; i < frame->getNbViews(); ++i)
    {
        auto* label = dynamic_cast<VSTGUI::CTextLabel*>(frame->getView(i));
        if (!label || dynamic_cast<VSTGUI::CTextEdit*>(label))
            continue;
        const std::string text = label->getText();
        const VSTGUI::CRect box = label->getViewSize();
        // Allowed: the box, within the rim of the panel that holds it (the frame if none does).
        VSTGUI::CRect allowed = box;
        for (const auto& p : Quorvane::Layout::panels)
            if (VSTGUI::CRect(p.left + 1, p.top + 1, p.right - 1, p.bottom - 1).rectOverlap(box))
                allowed.bound(VSTGUI::CRect(p.left + 1, p.top + 1, p.right - 1, p.bottom - 1));
        label->setViewSize(VSTGUI::CRect(box.left - width, box.top, box.right + width, box.bottom));
        const std::vector<uint32_t> with = picture();
        label->setText("");
        const std::vector<uint32_t> without = picture();
        label->setText(text.c_str());
        label->setViewSize(box);
        bool whole = true;
        for (size_t p = 0; p < with.size() && p < without.size(); ++p)
            for (int shift = 0; shift < 24; shift += 8)
                // A change of more than an eighth is ink; the faintest anti-aliased edge is not.
                if (std::abs(int((with[p] >> shift) & 0xff) - int((without[p] >> shift) & 0xff)) >
                    32)
                    whole = whole &&
                            allowed.pointInside(VSTGUI::CPoint(int(p) % width, int(p) / width));
        if (!whole)
            found.push_back(text);
    }
    return found;
}

} // namespace QuorvaneTest
