// Small drawing helpers on top of cairo used by every image of the editor.
#pragma once

#include "palette.h"

#include <cairo.h>

#include <string>

namespace Quorvane::Artwork
{

// The display scale images are painted for, for as long as it lives (1 outside every scope):
// every Image made meanwhile has that many pixels per unit, and its Painter draws in units.
class PaintScale
{
public:
    explicit PaintScale(double factor);
    ~PaintScale();
    PaintScale(const PaintScale&) = delete;
    PaintScale& operator=(const PaintScale&) = delete;

    static double current();

private:
    double previous;
};

// An ARGB32 image surface that destroys itself; the images are handed around by value.
class Image
{
public:
    // An image of width × height units; a film strip of `frames` frames stacked vertically
    // keeps whole-pixel frames at any paint scale (each frame round(frame height × scale)
    // pixels high), so the views find frame n at n / frames of its height.
    Image(int width, int height, int frames = 1);
    explicit Image(cairo_surface_t* adopted);
    ~Image();
    Image(Image&& other) noexcept;
    Image& operator=(Image&& other) noexcept;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    cairo_surface_t* surface() const { return owned; }
    int width() const;
    int height() const;
    // The size in units (the pixels at scale 1).
    int unitWidth() const { return units[0]; }
    int unitHeight() const { return units[1]; }

    // Writes the image as PNG; false when cairo could not write the file.
    bool writePng(const std::string& path) const;

private:
    cairo_surface_t* owned = nullptr;
    int units[2] = {0, 0};
};

// A cairo context on an image that is released with the scope.
class Painter
{
public:
    explicit Painter(const Image& image);
    ~Painter();
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    operator cairo_t*() const { return context; }

private:
    cairo_t* context;
};

enum class Align
{
    left,
    centre,
    right
};

struct Font
{
    double size = 9.0;
    bool bold = false;
    double tracking = 0.0; // extra space after every character, in pixels
};

void setColour(cairo_t* cr, Colour c);
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
void fillRounded(cairo_t* cr, double x, double y, double w, double h, double radius, Colour c);
void strokeRounded(cairo_t* cr, double x, double y, double w, double h, double radius,
                   double lineWidth, Colour c);

// A vertical two-stop gradient over y0..y1.
cairo_pattern_t* verticalGradient(double y0, double y1, Colour top, Colour bottom);

// The advance width of a text in the given font.
double textWidth(cairo_t* cr, const std::string& text, const Font& font);

// Draws a single line of text with its baseline at y; x is the left edge, centre or
// right edge depending on the alignment.
void drawText(cairo_t* cr, const std::string& text, double x, double y, const Font& font, Colour c,
              Align align = Align::left);

// Draws text vertically centred on the line y = midY (by the height of capital letters).
void drawTextCentredAt(cairo_t* cr, const std::string& text, double x, double midY,
                       const Font& font, Colour c, Align align = Align::centre);

// A soft round glow (radial gradient to transparent).
void glow(cairo_t* cr, double cx, double cy, double radius, Colour c);

// Copies one image (or a part of it) onto another at (x, y).
void blit(cairo_t* cr, const Image& source, double x, double y, double srcX = 0, double srcY = 0,
          double w = -1, double h = -1);

} // namespace Quorvane::Artwork
