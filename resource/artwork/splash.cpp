#include "splash.h"

#include "editorlayout.h"

#include <cmath>

namespace Quorvane::Artwork
{

namespace
{

using Layout::editorHeight;
using Layout::editorWidth;

void drawBackdrop(cairo_t* cr)
{
    cairo_pattern_t* p =
        cairo_pattern_create_radial(editorWidth / 2.0, 120, 10, editorWidth / 2.0, 160, 300);
    const Colour inner = rgb8(36, 44, 50), outer = rgb8(12, 13, 16);
    cairo_pattern_add_color_stop_rgb(p, 0, inner.r, inner.g, inner.b);
    cairo_pattern_add_color_stop_rgb(p, 1, outer.r, outer.g, outer.b);
    cairo_rectangle(cr, 0, 0, editorWidth, editorHeight);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);

    strokeRounded(cr, 6.5, 6.5, editorWidth - 13, editorHeight - 13, 8, 1.0, Palette::panelEdge);
}

// Three decaying notes with noise between them. The part of the signal that the gate
// lets through is drawn in the accent colour, the part it removes faintly.
void drawWaveform(cairo_t* cr, double top, double bottom)
{
    const double left = 24, right = editorWidth - 24;
    const double mid = (top + bottom) / 2.0, half = (bottom - top) / 2.0;
    const double threshold = 0.18;
    const double noteStarts[] = {0.04, 0.38, 0.70};

    const auto envelope = [&](double t)
    {
        double e = 0.06;
        for (double start : noteStarts)
            if (t >= start)
                e = std::fmax(e, std::exp(-(t - start) * 11.0));
        return e;
    };
    const auto sample = [&](double t)
    {
        const double cycles = 2.0 * M_PI * t;
        const double tone = std::sin(cycles * 21.0) * 0.75 + std::sin(cycles * 53.0 + 1.3) * 0.25;
        const double hiss = std::sin(cycles * 89.0) * std::sin(cycles * 31.0 + 0.4);
        return envelope(t) * tone + 0.05 * hiss;
    };
    const auto open = [&](double t) { return envelope(t) > threshold; };

    // Threshold lines, dashed.
    const double dashes[] = {3.0, 3.0};
    cairo_set_dash(cr, dashes, 2, 0);
    cairo_set_line_width(cr, 1.0);
    setColour(cr, Palette::amber.withAlpha(0.55));
    for (double sign : {-1.0, 1.0})
    {
        const double y = std::round(mid + sign * threshold * half) + 0.5;
        cairo_move_to(cr, left, y);
        cairo_line_to(cr, right, y);
    }
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);

    // The signal as one line, stroked in runs: each run is either passed or removed.
    cairo_set_line_width(cr, 1.2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const double step = 0.25;
    bool runOpen = open(0.0);
    cairo_move_to(cr, left, mid - sample(0.0) * half);
    for (double x = left + step; x <= right; x += step)
    {
        const double t = (x - left) / (right - left);
        cairo_line_to(cr, x, mid - sample(t) * half);
        if (open(t) != runOpen || x + step > right)
        {
            setColour(cr, runOpen ? Palette::teal : rgb8(96, 104, 114, 0.7));
            cairo_stroke(cr);
            runOpen = open(t);
            cairo_move_to(cr, x, mid - sample(t) * half);
        }
    }
}

} // namespace

Image drawSplash()
{
    Image image(editorWidth, editorHeight);
    Painter cr(image);
    const double centre = editorWidth / 2.0;

    drawBackdrop(cr);

    drawText(cr, "Quorvane", centre, 92, Font{40.0, true, 0.5}, Palette::text, Align::centre);
    drawText(cr, "NOISE GATE", centre, 114, Font{9.0, false, 3.5}, Palette::teal, Align::centre);

    drawWaveform(cr, 140, 224);

    drawText(cr, "Ostrelle", centre, 262, Font{16.0, true, 1.0}, Palette::text, Align::centre);
    drawText(cr, "Version 1.3", centre, 278, Font{9.0}, Palette::textDim, Align::centre);
    drawText(cr, "Signal design, code and artwork by the Ostrelle team.", centre, 304, Font{8.5},
             Palette::textDim, Align::centre);
    drawText(cr, "Free software under the GPL-3.0-or-later licence.", centre, 318, Font{8.5},
             Palette::textDim, Align::centre);
    drawText(cr, "VST is a trademark of Steinberg Media Technologies GmbH.", centre, 332, Font{7.5},
             Palette::textFaint, Align::centre);

    drawText(cr, "click to close", centre, 368, Font{7.5, false, 1.2}, Palette::textFaint,
             Align::centre);
    return image;
}

} // namespace Quorvane::Artwork
