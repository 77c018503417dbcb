#include "controls.h"

#include <cmath>

namespace Quorvane::Artwork
{

namespace
{

constexpr int switchWidth = 40;
constexpr int switchHeight = 15;
constexpr int buttonWidth = 60;
constexpr int buttonHeight = 20;

// One switch state in the 40 x 15 cell whose top is at y.
void drawSwitchFrame(cairo_t* cr, double y, bool on)
{
    const double x = 1.0, w = switchWidth - 2.0, h = switchHeight - 2.0;
    const double top = y + 1.0;
    const double radius = h / 2.0;

    // The track: sunken and dark when off, filled with the accent when on.
    cairo_pattern_t* track =
        on ? verticalGradient(top, top + h, mix(Palette::teal, rgb8(255, 255, 255), 0.1),
                              mix(Palette::teal, rgb8(0, 0, 0), 0.25))
           : verticalGradient(top, top + h, rgb8(16, 17, 20), rgb8(32, 35, 40));
    roundedRect(cr, x, top, w, h, radius);
    cairo_set_source(cr, track);
    cairo_fill(cr);
    cairo_pattern_destroy(track);
    strokeRounded(cr, x + 0.5, top + 0.5, w - 1.0, h - 1.0, radius - 0.5, 1.0,
                  on ? mix(Palette::teal, rgb8(0, 0, 0), 0.45) : rgb8(8, 9, 11));

    // The thumb sits on the side the switch is thrown to; the word on the other side.
    const double thumbRadius = radius - 1.5;
    const double thumbX = on ? x + w - radius : x + radius;
    const double cy = top + h / 2.0;
    cairo_arc(cr, thumbX, cy + 0.6, thumbRadius + 0.4, 0, 2 * M_PI);
    setColour(cr, rgb8(0, 0, 0, 0.45));
    cairo_fill(cr);
    cairo_pattern_t* thumb = verticalGradient(cy - thumbRadius, cy + thumbRadius,
                                              rgb8(236, 238, 241), rgb8(168, 173, 181));
    cairo_arc(cr, thumbX, cy, thumbRadius, 0, 2 * M_PI);
    cairo_set_source(cr, thumb);
    cairo_fill(cr);
    cairo_pattern_destroy(thumb);

    const Font font{7.5, true, 0.4};
    if (on)
        drawTextCentredAt(cr, "ON", x + (w - 2 * radius) / 2.0 + 0.5, cy, font, rgb8(10, 34, 33));
    else
        drawTextCentredAt(cr, "OFF", x + 2 * radius + (w - 2 * radius) / 2.0 - 0.5, cy, font,
                          Palette::textDim);
}

void drawButtonFrame(cairo_t* cr, double y, const std::string& caption, bool engaged,
                     Colour engagedColour, Colour engagedText)
{
    const double x = 1.0, w = buttonWidth - 2.0, h = buttonHeight - 2.0;
    const double top = y + 1.0;
    const double radius = 3.5;

    // The outer rim, darker than the title bar it sits on.
    fillRounded(cr, x, top, w, h, radius, rgb8(6, 7, 8));

    cairo_pattern_t* face =
        engaged ? verticalGradient(top, top + h, mix(engagedColour, rgb8(255, 255, 255), 0.15),
                                   mix(engagedColour, rgb8(0, 0, 0), 0.2))
                : verticalGradient(top, top + h, rgb8(66, 71, 80), rgb8(40, 43, 49));
    roundedRect(cr, x + 1, top + 1, w - 2, h - 2, radius - 1);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);

    // A thin highlight along the top edge.
    cairo_set_line_width(cr, 1.0);
    setColour(cr, rgb8(255, 255, 255, engaged ? 0.35 : 0.12));
    cairo_move_to(cr, x + radius, top + 1.5);
    cairo_line_to(cr, x + w - radius, top + 1.5);
    cairo_stroke(cr);

    // The status light at the left, then the caption.
    const double ledX = x + 8.0, cy = top + h / 2.0;
    if (engaged)
        glow(cr, ledX, cy, 5.0, rgb8(255, 255, 255, 0.6));
    cairo_arc(cr, ledX, cy, 2.3, 0, 2 * M_PI);
    setColour(cr, engaged ? rgb8(255, 252, 240) : rgb8(20, 22, 25));
    cairo_fill(cr);

    const Font font{8.5, true, 0.6};
    drawTextCentredAt(cr, caption, x + 11.0 + (w - 11.0) / 2.0, cy, font,
                      engaged ? engagedText : rgb8(196, 201, 208));
}

} // namespace

Image drawOnOffSwitch(bool onFirst)
{
    Image image(switchWidth, 2 * switchHeight, 2);
    Painter cr(image);
    drawSwitchFrame(cr, 0, onFirst);
    drawSwitchFrame(cr, switchHeight, !onFirst);
    return image;
}

Image drawButton(const std::string& caption, Colour engaged, Colour engagedText)
{
    Image image(buttonWidth, 2 * buttonHeight, 2);
    Painter cr(image);
    drawButtonFrame(cr, 0, caption, false, engaged, engagedText);
    drawButtonFrame(cr, buttonHeight, caption, true, engaged, engagedText);
    return image;
}

Image drawSliderHandle()
{
    Image image(40, 20);
    Painter cr(image);
    const double mid = 10.0;

    // The line that marks the threshold across the meters, outlined so it reads over
    // both the grey and the coloured parts of the column.
    cairo_rectangle(cr, 10, mid - 2, 20, 4);
    setColour(cr, rgb8(0, 0, 0, 0.75));
    cairo_fill(cr);
    cairo_rectangle(cr, 10, mid - 1, 20, 2);
    setColour(cr, rgb8(250, 250, 250));
    cairo_fill(cr);

    // Two grips pointing at the column.
    for (int side = 0; side < 2; ++side)
    {
        const double outer = side == 0 ? 1.0 : 39.0;
        const double inner = side == 0 ? 13.0 : 27.0;
        const double dir = side == 0 ? 1.0 : -1.0;
        const double back = outer + dir * 2.0;

        cairo_new_path(cr);
        cairo_move_to(cr, back, 3.5);
        cairo_line_to(cr, inner - dir * 4.0, 3.5);
        cairo_line_to(cr, inner, mid);
        cairo_line_to(cr, inner - dir * 4.0, 16.5);
        cairo_line_to(cr, back, 16.5);
        cairo_curve_to(cr, outer, 16.5, outer, 16.5, outer, 14.5);
        cairo_line_to(cr, outer, 5.5);
        cairo_curve_to(cr, outer, 3.5, outer, 3.5, back, 3.5);
        cairo_close_path(cr);

        cairo_pattern_t* face =
            verticalGradient(3.5, 16.5, rgb8(226, 229, 233), rgb8(138, 144, 153));
        cairo_set_source(cr, face);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(face);
        setColour(cr, rgb8(10, 11, 13));
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);

        // Grip lines.
        setColour(cr, rgb8(90, 95, 104));
        for (int i = 0; i < 3; ++i)
        {
            const double gx = outer + dir * (3.5 + 2.0 * i);
            cairo_move_to(cr, gx, 6.5);
            cairo_line_to(cr, gx, 13.5);
        }
        cairo_stroke(cr);
    }
    return image;
}

} // namespace Quorvane::Artwork
