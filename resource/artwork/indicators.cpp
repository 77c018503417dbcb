#include "indicators.h"

#include <cmath>

namespace Quorvane::Artwork
{

namespace
{

// Darkens the left and right edges of a column so it looks like a rounded tube; the
// shading runs across only, so it lines up however the column is shifted vertically.
void shadeColumn(cairo_t* cr, int width, int height)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, width, 0);
    cairo_pattern_add_color_stop_rgba(p, 0.0, 0, 0, 0, 0.45);
    cairo_pattern_add_color_stop_rgba(p, 0.18, 0, 0, 0, 0.10);
    cairo_pattern_add_color_stop_rgba(p, 0.42, 1, 1, 1, 0.10);
    cairo_pattern_add_color_stop_rgba(p, 0.70, 0, 0, 0, 0.0);
    cairo_pattern_add_color_stop_rgba(p, 1.0, 0, 0, 0, 0.45);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

} // namespace

Image drawMeterLit()
{
    Image image(meterWidth, meterHeight);
    Painter cr(image);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, meterHeight, 0, 0);
    const auto stop = [p](double at, Colour c)
    { cairo_pattern_add_color_stop_rgb(p, at, c.r, c.g, c.b); };
    stop(0.0, mix(Palette::meterGreen, rgb8(0, 0, 0), 0.15));
    stop(0.55, Palette::meterGreen);
    stop(0.80, Palette::meterYellow);
    stop(1.0, Palette::meterOrange);
    cairo_rectangle(cr, 0, 0, meterWidth, meterHeight);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    shadeColumn(cr, meterWidth, meterHeight);
    return image;
}

Image drawMeterUnlit()
{
    Image image(meterWidth, meterHeight);
    Painter cr(image);
    cairo_rectangle(cr, 0, 0, meterWidth, meterHeight);
    setColour(cr, Palette::meterUnlit);
    cairo_fill(cr);
    shadeColumn(cr, meterWidth, meterHeight);
    return image;
}

Image drawTransparent(int width, int height)
{
    // A new image surface starts fully transparent.
    return Image(width, height);
}

Image drawGateLamp(bool open)
{
    Image image(20, 20);
    Painter cr(image);
    const double c = 10.0;

    // Bezel.
    cairo_pattern_t* bezel = verticalGradient(1, 19, rgb8(12, 13, 15), rgb8(70, 75, 84));
    cairo_arc(cr, c, c, 9.0, 0, 2 * M_PI);
    cairo_set_source(cr, bezel);
    cairo_fill(cr);
    cairo_pattern_destroy(bezel);

    // The lens.
    const Colour core = open ? Palette::lampGreen : Palette::lampDark;
    cairo_pattern_t* lens = cairo_pattern_create_radial(c - 1.5, c - 2.0, 0.5, c, c, 7.0);
    const Colour centre =
        open ? mix(core, rgb8(255, 255, 255), 0.55) : mix(core, rgb8(90, 110, 95), 0.4);
    const Colour rim = mix(core, rgb8(0, 0, 0), open ? 0.35 : 0.4);
    cairo_pattern_add_color_stop_rgb(lens, 0, centre.r, centre.g, centre.b);
    cairo_pattern_add_color_stop_rgb(lens, 0.55, core.r, core.g, core.b);
    cairo_pattern_add_color_stop_rgb(lens, 1, rim.r, rim.g, rim.b);
    cairo_arc(cr, c, c, 7.0, 0, 2 * M_PI);
    cairo_set_source(cr, lens);
    cairo_fill(cr);
    cairo_pattern_destroy(lens);

    if (open)
        glow(cr, c, c, 9.5, Palette::lampGreen.withAlpha(0.35));

    // A small reflection on the glass.
    cairo_arc(cr, c - 2.5, c - 3.0, 1.6, 0, 2 * M_PI);
    setColour(cr, rgb8(255, 255, 255, open ? 0.75 : 0.22));
    cairo_fill(cr);
    return image;
}

Image drawSideChainLamp(bool lit)
{
    Image image(40, 15);
    Painter cr(image);
    const double x = 1.0, y = 1.0, w = 38.0, h = 13.0, r = 3.0;

    fillRounded(cr, x, y, w, h, r, rgb8(6, 7, 8));
    cairo_pattern_t* face =
        lit ? verticalGradient(y, y + h, mix(Palette::amber, rgb8(255, 255, 255), 0.3),
                               mix(Palette::amber, rgb8(0, 0, 0), 0.15))
            : verticalGradient(y, y + h, rgb8(28, 30, 34), rgb8(40, 43, 48));
    roundedRect(cr, x + 1, y + 1, w - 2, h - 2, r - 1);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);

    const Font font{7.0, true, 0.5};
    drawTextCentredAt(cr, "ACTIVE", 20.0, 7.5, font, lit ? rgb8(48, 26, 4) : Palette::textFaint);
    return image;
}

} // namespace Quorvane::Artwork
