#include "paint.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace Quorvane::Artwork
{

namespace
{
double paintScale = 1.0;
} // namespace

PaintScale::PaintScale(double factor) : previous(paintScale)
{
    paintScale = factor;
}

PaintScale::~PaintScale()
{
    paintScale = previous;
}

double PaintScale::current()
{
    return paintScale;
}

Image::Image(int width, int height, int frames)
    : owned(cairo_image_surface_create(
          CAIRO_FORMAT_ARGB32, static_cast<int>(std::lround(width * paintScale)),
          frames *
              static_cast<int>(std::lround(static_cast<double>(height) / frames * paintScale)))),
      units{width, height}
{
}

Image::Image(cairo_surface_t* adopted)
    : owned(adopted), units{cairo_image_surface_get_width(adopted),
                            cairo_image_surface_get_height(adopted)}
{
}

Image::~Image()
{
    if (owned)
        cairo_surface_destroy(owned);
}

Image::Image(Image&& other) noexcept
    : owned(std::exchange(other.owned, nullptr)), units{other.units[0], other.units[1]}
{
}

Image& Image::operator=(Image&& other) noexcept
{
    if (this != &other)
    {
        if (owned)
            cairo_surface_destroy(owned);
        owned = std::exchange(other.owned, nullptr);
        units[0] = other.units[0];
        units[1] = other.units[1];
    }
    return *this;
}

int Image::width() const
{
    return cairo_image_surface_get_width(owned);
}
int Image::height() const
{
    return cairo_image_surface_get_height(owned);
}

bool Image::writePng(const std::string& path) const
{
    cairo_surface_flush(owned);
    return cairo_surface_write_to_png(owned, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

Painter::Painter(const Image& image) : context(cairo_create(image.surface()))
{
    // Grey-scale anti-aliasing without hinting: the images must look the same at any
    // sub-pixel position and on any screen.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(context, options);
    cairo_font_options_destroy(options);
    // Drawn in units: at a paint scale other than 1 the surface has more pixels per unit.
    if (image.width() != image.unitWidth() || image.height() != image.unitHeight())
        cairo_scale(context, static_cast<double>(image.width()) / image.unitWidth(),
                    static_cast<double>(image.height()) / image.unitHeight());
}

Painter::~Painter()
{
    cairo_destroy(context);
}

void setColour(cairo_t* cr, Colour c)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    const double r = std::fmin(radius, std::fmin(w, h) / 2.0);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void fillRounded(cairo_t* cr, double x, double y, double w, double h, double radius, Colour c)
{
    roundedRect(cr, x, y, w, h, radius);
    setColour(cr, c);
    cairo_fill(cr);
}

void strokeRounded(cairo_t* cr, double x, double y, double w, double h, double radius,
                   double lineWidth, Colour c)
{
    roundedRect(cr, x, y, w, h, radius);
    setColour(cr, c);
    cairo_set_line_width(cr, lineWidth);
    cairo_stroke(cr);
}

cairo_pattern_t* verticalGradient(double y0, double y1, Colour top, Colour bottom)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgba(p, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(p, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    return p;
}

namespace
{

void selectFont(cairo_t* cr, const Font& font)
{
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font.size);
}

// Splits UTF-8 text into its characters, so that tracking adds space between characters
// rather than between bytes.
std::vector<std::string> characters(const std::string& text)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < text.size();)
    {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        length = std::min(length, text.size() - i);
        out.push_back(text.substr(i, length));
        i += length;
    }
    return out;
}

double advance(cairo_t* cr, const std::string& text)
{
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    return extents.x_advance;
}

} // namespace

double textWidth(cairo_t* cr, const std::string& text, const Font& font)
{
    selectFont(cr, font);
    if (font.tracking == 0.0)
        return advance(cr, text);
    const auto chars = characters(text);
    double width = 0;
    for (const auto& ch : chars)
        width += advance(cr, ch) + font.tracking;
    return chars.empty() ? 0.0 : width - font.tracking;
}

void drawText(cairo_t* cr, const std::string& text, double x, double y, const Font& font, Colour c,
              Align align)
{
    const double width = textWidth(cr, text, font);
    if (align == Align::centre)
        x -= width / 2.0;
    else if (align == Align::right)
        x -= width;

    selectFont(cr, font);
    setColour(cr, c);
    if (font.tracking == 0.0)
    {
        cairo_move_to(cr, x, y);
        cairo_show_text(cr, text.c_str());
        return;
    }
    for (const auto& ch : characters(text))
    {
        cairo_move_to(cr, x, y);
        cairo_show_text(cr, ch.c_str());
        x += advance(cr, ch) + font.tracking;
    }
}

void drawTextCentredAt(cairo_t* cr, const std::string& text, double x, double midY,
                       const Font& font, Colour c, Align align)
{
    selectFont(cr, font);
    cairo_text_extents_t capital;
    cairo_text_extents(cr, "H", &capital);
    drawText(cr, text, x, midY + capital.height / 2.0, font, c, align);
}

void glow(cairo_t* cr, double cx, double cy, double radius, Colour c)
{
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
    cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, c.a);
    cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void blit(cairo_t* cr, const Image& source, double x, double y, double srcX, double srcY, double w,
          double h)
{
    if (w < 0)
        w = source.width() - srcX;
    if (h < 0)
        h = source.height() - srcY;
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    cairo_set_source_surface(cr, source.surface(), x - srcX, y - srcY);
    cairo_paint(cr);
    cairo_restore(cr);
}

} // namespace Quorvane::Artwork
