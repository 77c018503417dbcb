// A PNG decoded with cairo into straight (not premultiplied) RGBA pixels, for tests that
// look at what an image shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace QuorvaneTest
{

struct Pixel
{
    int r, g, b, a;

    bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    int luminance() const { return (r * 30 + g * 59 + b * 11) / 100; }
};

class DecodedImage
{
public:
    // Decodes PNG bytes; nothing when they are not a readable PNG.
    static std::optional<DecodedImage> fromPng(const unsigned char* data, size_t size);

    int width() const { return columns; }
    int height() const { return rows; }
    Pixel at(int x, int y) const { return pixels[static_cast<size_t>(y) * columns + x]; }

    // The pixels of a horizontal band (a film-strip frame) as an image of its own.
    DecodedImage band(int top, int height) const;

    bool operator==(const DecodedImage& o) const;

private:
    int columns = 0, rows = 0;
    std::vector<Pixel> pixels;
};

} // namespace QuorvaneTest
