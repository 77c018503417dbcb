#include "knobstrip.h"

#include <cmath>

namespace Quorvane::Artwork
{

namespace
{

constexpr double sweepDegrees = 270.0;
constexpr double trackRadius = 17.0;
constexpr double trackWidth = 3.0;
constexpr double bodyRadius = 12.5;

// cairo measures angles clockwise from the positive x axis; the knob from straight up.
double cairoAngle(double degreesFromUp)
{
    return (degreesFromUp - 90.0) * M_PI / 180.0;
}

void drawTrack(cairo_t* cr, double cx, double cy, double angle, Colour accent)
{
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, trackWidth);

    // The groove the value runs in.
    setColour(cr, Palette::well);
    cairo_arc(cr, cx, cy, trackRadius, cairoAngle(-135.0), cairoAngle(135.0));
    cairo_stroke(cr);

    // The lit part of the arc, from the minimum to the current value. The very first
    // frame shows a dot, so the minimum reads as "set to the bottom" rather than "off".
    setColour(cr, accent.withAlpha(0.30));
    cairo_set_line_width(cr, trackWidth + 2.0);
    cairo_arc(cr, cx, cy, trackRadius, cairoAngle(-135.0), cairoAngle(angle));
    cairo_stroke(cr);
    setColour(cr, accent);
    cairo_set_line_width(cr, trackWidth - 0.6);
    cairo_arc(cr, cx, cy, trackRadius, cairoAngle(-135.0), cairoAngle(angle));
    cairo_stroke(cr);
}

void drawBody(cairo_t* cr, double cx, double cy)
{
    // Drop shadow under the cap.
    cairo_arc(cr, cx, cy + 1.2, bodyRadius + 0.8, 0, 2 * M_PI);
    setColour(cr, rgb8(0, 0, 0, 0.55));
    cairo_fill(cr);

    // The cap, lit from above.
    cairo_pattern_t* face =
        verticalGradient(cy - bodyRadius, cy + bodyRadius, rgb8(78, 84, 94), rgb8(34, 37, 42));
    cairo_arc(cr, cx, cy, bodyRadius, 0, 2 * M_PI);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);

    // A slightly smaller top face, giving the cap a bevelled edge.
    cairo_pattern_t* top =
        verticalGradient(cy - bodyRadius, cy + bodyRadius, rgb8(58, 63, 71), rgb8(44, 48, 54));
    cairo_arc(cr, cx, cy, bodyRadius - 2.0, 0, 2 * M_PI);
    cairo_set_source(cr, top);
    cairo_fill(cr);
    cairo_pattern_destroy(top);

    cairo_arc(cr, cx, cy, bodyRadius - 0.5, 0, 2 * M_PI);
    setColour(cr, rgb8(16, 17, 20, 0.9));
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

void drawPointer(cairo_t* cr, double cx, double cy, double angle, Colour accent)
{
    const double a = angle * M_PI / 180.0;
    const double dx = std::sin(a);
    const double dy = -std::cos(a);

    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 2.2);
    setColour(cr, rgb8(244, 246, 248));
    cairo_move_to(cr, cx + dx * 3.5, cy + dy * 3.5);
    cairo_line_to(cr, cx + dx * (bodyRadius - 2.8), cy + dy * (bodyRadius - 2.8));
    cairo_stroke(cr);

    // The accent dot on the tip, level with the value arc's end.
    cairo_arc(cr, cx + dx * trackRadius, cy + dy * trackRadius, 1.9, 0, 2 * M_PI);
    setColour(cr, mix(accent, rgb8(255, 255, 255), 0.35));
    cairo_fill(cr);
}

} // namespace

double knobAngle(int frame)
{
    return -135.0 + sweepDegrees * frame / static_cast<double>(knobFrames - 1);
}

Image drawKnobStrip(Colour accent)
{
    Image strip(knobFrameSize, knobFrameSize * knobFrames, knobFrames);
    Painter cr(strip);
    for (int frame = 0; frame < knobFrames; ++frame)
    {
        const double cx = knobFrameSize / 2.0;
        const double cy = frame * knobFrameSize + knobFrameSize / 2.0;
        const double angle = knobAngle(frame);

        cairo_save(cr);
        cairo_rectangle(cr, 0, frame * knobFrameSize, knobFrameSize, knobFrameSize);
        cairo_clip(cr);
        drawTrack(cr, cx, cy, angle, accent);
        drawBody(cr, cx, cy);
        drawPointer(cr, cx, cy, angle, accent);
        cairo_restore(cr);
    }
    return strip;
}

} // namespace Quorvane::Artwork
