#include "background.h"

#include "editorlayout.h"

#include <cmath>
#include <string>

namespace Quorvane::Artwork
{

namespace
{

using namespace Layout;

struct PanelBox
{
    double x, y, w, h;
    Colour accent;

    constexpr PanelBox(const Rect& r, Colour accent)
        : x(r.left), y(r.top), w(r.width()), h(r.height()), accent(accent)
    {
    }
};

// The accent marks tell the groups apart.
constexpr PanelBox panelBoxes[] = {{thresholdPanel, Palette::meterGreen},
                                   {upperPanel, Palette::teal},
                                   {switchPanel, Palette::teal},
                                   {middlePanel, Palette::teal},
                                   {lowerPanel, Palette::amber}};

void drawBase(cairo_t* cr)
{
    cairo_pattern_t* p =
        verticalGradient(0, editorHeight, Palette::backgroundTop, Palette::backgroundBottom);
    cairo_rectangle(cr, 0, 0, editorWidth, editorHeight);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void drawTitleBar(cairo_t* cr)
{
    const double barHeight = 24.0;
    cairo_pattern_t* p = verticalGradient(0, barHeight, rgb8(22, 24, 28), Palette::titleBar);
    cairo_rectangle(cr, 0, 0, editorWidth, barHeight);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);

    // Edge and a soft shadow onto the body.
    cairo_rectangle(cr, 0, barHeight, editorWidth, 1);
    setColour(cr, rgb8(46, 50, 57));
    cairo_fill(cr);
    cairo_pattern_t* shadow =
        verticalGradient(barHeight + 1, barHeight + 5, rgb8(0, 0, 0, 0.35), rgb8(0, 0, 0, 0));
    cairo_rectangle(cr, 0, barHeight + 1, editorWidth, 4);
    cairo_set_source(cr, shadow);
    cairo_fill(cr);
    cairo_pattern_destroy(shadow);

    // The product mark in the title strip (a click there shows the splash image): a gate
    // envelope, the name, and what it is.
    const double mid = titleStrip.centreY();
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    setColour(cr, Palette::teal);
    cairo_move_to(cr, 15, mid + 5);
    cairo_line_to(cr, 18, mid + 5);
    cairo_line_to(cr, 20, mid - 5);
    cairo_line_to(cr, 26, mid - 5);
    cairo_line_to(cr, 30, mid + 5);
    cairo_line_to(cr, 33, mid + 5);
    cairo_stroke(cr);

    const Font name{12.0, true, 1.6};
    drawTextCentredAt(cr, "QUORVANE", 39, mid, name, Palette::text, Align::left);
    const double after = 39 + textWidth(cr, "QUORVANE", name) + 7;
    drawTextCentredAt(cr, "NOISE GATE", after, mid, Font{7.0, false, 1.2}, Palette::textDim,
                      Align::left);
}

void drawPanel(cairo_t* cr, const PanelBox& b)
{
    const double r = 5.0;
    // Shadow, face and rim.
    fillRounded(cr, b.x, b.y + 1.5, b.w, b.h, r, rgb8(0, 0, 0, 0.35));
    cairo_pattern_t* face = verticalGradient(b.y, b.y + b.h, Palette::panel, Palette::panelLow);
    roundedRect(cr, b.x, b.y, b.w, b.h, r);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    strokeRounded(cr, b.x + 0.5, b.y + 0.5, b.w - 1, b.h - 1, r - 0.5, 1.0, Palette::panelEdge);

    // A short accent mark on the top edge tells the groups apart.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 2.0);
    setColour(cr, b.accent.withAlpha(0.85));
    cairo_move_to(cr, b.x + 8, b.y + 1.5);
    cairo_line_to(cr, b.x + 22, b.y + 1.5);
    cairo_stroke(cr);
}

// A recess the size of a rectangle (plus a margin), dark inside with a light lower lip.
void drawWell(cairo_t* cr, const Rect& rect, double margin, double radius, Colour fill)
{
    const double x = rect.left - margin, y = rect.top - margin;
    const double w = rect.width() + 2 * margin, h = rect.height() + 2 * margin;
    fillRounded(cr, x, y + 0.5, w, h, radius, rgb8(255, 255, 255, 0.07));
    fillRounded(cr, x, y, w, h, radius, fill);
    strokeRounded(cr, x + 0.5, y + 0.5, w - 1, h - 1, radius - 0.5, 1.0, rgb8(0, 0, 0, 0.5));
}

void drawVerticalDivider(cairo_t* cr, double x, double top, double bottom)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, top, 0, bottom);
    const Colour c = Palette::hairline;
    cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, 0);
    cairo_pattern_add_color_stop_rgba(p, 0.5, c.r, c.g, c.b, 0.9);
    cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0);
    cairo_rectangle(cr, std::floor(x), top, 1, bottom - top);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void drawThresholdColumn(cairo_t* cr)
{
    // The groove the two meters stand in.
    const Rect groove{maxMeter.left, maxMeter.top, maxMeter.right, minMeter.bottom};
    drawWell(cr, groove, 2, 3, Palette::well);

    // The decibel scale: long ticks with numbers every 12 dB and at the bottom end,
    // short ticks every 6 dB in between. Ticks sit on both sides of the groove.
    const Font numbers{7.0, false, 0.0};
    for (int db = 0; db >= -76; db -= 6)
    {
        const bool major = db % 12 == 0;
        const double y = std::round(yForDb(db)) + 0.5;
        const double length = major ? 7.0 : 4.0;
        setColour(cr, major ? rgb8(120, 127, 138) : rgb8(82, 88, 98));
        cairo_set_line_width(cr, 1.0);
        cairo_move_to(cr, groove.left - 3, y);
        cairo_line_to(cr, groove.left - 3 - length, y);
        cairo_move_to(cr, groove.right + 3, y);
        cairo_line_to(cr, groove.right + 3 + length, y);
        cairo_stroke(cr);
        if (major && db > -72)
            drawTextCentredAt(cr, std::to_string(db), 19, y, numbers, Palette::textDim,
                              Align::right);
    }
    const double bottomY = std::round(yForDb(-76)) + 0.5;
    setColour(cr, rgb8(120, 127, 138));
    cairo_move_to(cr, groove.left - 3, bottomY);
    cairo_line_to(cr, groove.left - 10, bottomY);
    cairo_move_to(cr, groove.right + 3, bottomY);
    cairo_line_to(cr, groove.right + 10, bottomY);
    cairo_stroke(cr);
    drawTextCentredAt(cr, "-76", 19, bottomY, numbers, Palette::textDim, Align::right);

    // "dB" under the zero mark's number, above the scale.
    drawTextCentredAt(cr, "dB", 12, yForDb(0) - 10, Font{6.5, false, 0.0}, Palette::textFaint);

    drawWell(cr, thresholdField, 1, 3, Palette::well);
}

void drawKnobSeat(cairo_t* cr, Point at)
{
    const double cx = at.x + knobSize / 2.0, cy = at.y + knobSize / 2.0;
    glow(cr, cx, cy + 1, 21.0, rgb8(0, 0, 0, 0.45));
}

void drawLampBezel(cairo_t* cr, const Rect& lamp)
{
    const double cx = lamp.centreX(), cy = lamp.centreY();
    cairo_arc(cr, cx, cy + 0.5, 11.5, 0, 2 * M_PI);
    setColour(cr, rgb8(255, 255, 255, 0.07));
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, 11.5, 0, 2 * M_PI);
    setColour(cr, Palette::well);
    cairo_fill(cr);
}

void drawFooter(cairo_t* cr)
{
    const double mid = versionLabel.rect.centreY();
    drawTextCentredAt(cr, "OSTRELLE", 10, mid, Font{7.5, true, 2.0}, Palette::textFaint,
                      Align::left);
}

} // namespace

Image drawBackground()
{
    Image image(editorWidth, editorHeight);
    Painter cr(image);

    drawBase(cr);
    drawTitleBar(cr);
    for (const auto& panel : panelBoxes)
        drawPanel(cr, panel);

    drawThresholdColumn(cr);

    for (const auto& knob : upperKnobs)
        drawKnobSeat(cr, knob);
    for (const auto& knob : lowerKnobs)
        drawKnobSeat(cr, knob);
    for (const auto& field : knobFields)
        drawWell(cr, field, 1, 3, Palette::well);

    for (const auto& slot : switches)
        drawWell(cr, slot, 1, 8, Palette::well);
    drawWell(cr, sideChainLamp, 1, 4, Palette::well);
    for (double x : {130.0, 190.0, 250.0})
        drawVerticalDivider(cr, x, switchPanel.top + 8, switchPanel.bottom - 6);

    drawVerticalDivider(cr, 192.0, middlePanel.top + 8, middlePanel.bottom - 6);
    for (const auto& lamp : gateLamps)
        drawLampBezel(cr, lamp);

    drawFooter(cr);
    return image;
}

} // namespace Quorvane::Artwork
