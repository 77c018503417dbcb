#pragma once
// Synthetic images, a recording listener and pixel access for the view tests.

#include "vstgui/vstgui.h"

#include <cairo.h>
#include <string>
#include <vector>

namespace QuorvaneTest
{

/** PNG bytes of a w × h image made of `colors.size()` frames stacked top to bottom, each
 *  filled with its colour. */
std::vector<unsigned char> stripPng(int w, int frameHeight,
                                    const std::vector<VSTGUI::CColor>& colors);

/** A bitmap decoded from stripPng (one reference, owned by the caller). */
VSTGUI::CBitmap* stripBitmap(int w, int frameHeight, const std::vector<VSTGUI::CColor>& colors);

/** The colour at (x, y) of an ARGB32 surface, un-premultiplied. */
VSTGUI::CColor pixel(cairo_surface_t* surface, int x, int y);

/** Installs a resource provider serving the given named PNGs (kept until the next call). */
void provideResources(std::vector<std::pair<std::string, std::vector<unsigned char>>> resources);

struct Event
{
    std::string what; // "begin", "changed", "end"
    int32_t tag;
    float value;
};

class RecordingListener : public VSTGUI::CControlListener
{
public:
    void valueChanged(VSTGUI::CControl* c) override
    {
        events.push_back({"changed", c->getTag(), c->getValue()});
    }
    void controlBeginEdit(VSTGUI::CControl* c) override
    {
        events.push_back({"begin", c->getTag(), c->getValue()});
    }
    void controlEndEdit(VSTGUI::CControl* c) override
    {
        events.push_back({"end", c->getTag(), c->getValue()});
    }

    /** The event kinds in order, e.g. "begin changed end". */
    std::string sequence() const;
    std::vector<Event> events;
};

/** Mouse helpers driving a frame the way the window would. */
void click(VSTGUI::CFrame* frame, double x, double y, int32_t modifiers = 0);
void drag(VSTGUI::CFrame* frame, double x0, double y0, double x1, double y1, int32_t modifiers = 0,
          int steps = 4);
void typeKey(VSTGUI::CFrame* frame, char c);
void pressKey(VSTGUI::CFrame* frame, VSTGUI::VirtualKey key);

constexpr VSTGUI::CColor kRed(255, 0, 0, 255);
constexpr VSTGUI::CColor kGreen(0, 255, 0, 255);
constexpr VSTGUI::CColor kBlue(0, 0, 255, 255);
constexpr VSTGUI::CColor kGrey(128, 128, 128, 255);
constexpr VSTGUI::CColor kClear(0, 0, 0, 0);

} // namespace QuorvaneTest
