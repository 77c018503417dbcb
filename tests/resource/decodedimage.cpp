#include "decodedimage.h"

#include <cairo.h>

#include <cstring>

namespace QuorvaneTest
{

namespace
{

struct Reader
{
    const unsigned char* data;
    size_t size;
    size_t offset = 0;
};

cairo_status_t readChunk(void* closure, unsigned char* out, unsigned int length)
{
    auto* reader = static_cast<Reader*>(closure);
    if (length > reader->size - reader->offset)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, reader->data + reader->offset, length);
    reader->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

int unpremultiply(int channel, int alpha)
{
    return alpha == 0 ? 0 : (channel * 255 + alpha / 2) / alpha;
}

} // namespace

std::optional<DecodedImage> DecodedImage::fromPng(const unsigned char* data, size_t size)
{
    Reader reader{data, size};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(readChunk, &reader);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS)
    {
        cairo_surface_destroy(surface);
        return std::nullopt;
    }
    cairo_surface_flush(surface);

    DecodedImage image;
    image.columns = cairo_image_surface_get_width(surface);
    image.rows = cairo_image_surface_get_height(surface);
    const bool hasAlpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* bytes = cairo_image_surface_get_data(surface);
    image.pixels.reserve(static_cast<size_t>(image.columns) * image.rows);
    for (int y = 0; y < image.rows; ++y)
    {
        const auto* row =
            reinterpret_cast<const uint32_t*>(bytes + static_cast<size_t>(y) * stride);
        for (int x = 0; x < image.columns; ++x)
        {
            const uint32_t argb = row[x];
            const int a = hasAlpha ? static_cast<int>(argb >> 24) : 255;
            image.pixels.push_back({unpremultiply((argb >> 16) & 0xFF, a),
                                    unpremultiply((argb >> 8) & 0xFF, a),
                                    unpremultiply(argb & 0xFF, a), a});
        }
    }
    cairo_surface_destroy(surface);
    return image;
}

DecodedImage DecodedImage::band(int top, int height) const
{
    DecodedImage out;
    out.columns = columns;
    out.rows = height;
    const auto first = pixels.begin() + static_cast<ptrdiff_t>(top) * columns;
    out.pixels.assign(first, first + static_cast<ptrdiff_t>(height) * columns);
    return out;
}

bool DecodedImage::operator==(const DecodedImage& o) const
{
    return columns == o.columns && rows == o.rows && pixels == o.pixels;
}

} // namespace QuorvaneTest
