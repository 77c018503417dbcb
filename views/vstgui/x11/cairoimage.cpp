// Images as cairo image surfaces: PNG decoding and writing, drawing into them.
#include "vstgui/nativeimage.h"

#include <cstring>

namespace VSTGUI {
namespace Native {

namespace {

struct PngReader
{
	const unsigned char* data;
	size_t size;
	size_t pos;
};

cairo_status_t readPng (void* closure, unsigned char* out, unsigned int length)
{
	auto* reader = static_cast<PngReader*> (closure);
	if (length > reader->size - reader->pos)
		return CAIRO_STATUS_READ_ERROR;
	std::memcpy (out, reader->data + reader->pos, length);
	reader->pos += length;
	return CAIRO_STATUS_SUCCESS;
}

NativeImage* keepIfValid (cairo_surface_t* s)
{
	if (cairo_surface_status (s) != CAIRO_STATUS_SUCCESS)
	{
		cairo_surface_destroy (s);
		return nullptr;
	}
	return s;
}

} // namespace

NativeImage* decodePng (const unsigned char* data, size_t size)
{
	if (!data || size == 0)
		return nullptr;
	PngReader reader {data, size, 0};
	return keepIfValid (cairo_image_surface_create_from_png_stream (readPng, &reader));
}

NativeImage* createImage (int width, int height)
{
	if (width <= 0 || height <= 0)
		return nullptr;
	return keepIfValid (cairo_image_surface_create (CAIRO_FORMAT_ARGB32, width, height));
}

void releaseImage (NativeImage* image)
{
	if (image)
		cairo_surface_destroy (image);
}

int imageWidth (NativeImage* image) { return image ? cairo_image_surface_get_width (image) : 0; }
int imageHeight (NativeImage* image) { return image ? cairo_image_surface_get_height (image) : 0; }

bool writePng (NativeImage* image, const char* path)
{
	return image && path && cairo_surface_write_to_png (image, path) == CAIRO_STATUS_SUCCESS;
}

NativeContext* beginDrawing (NativeImage* image) { return cairo_create (image); }

void endDrawing (NativeImage* image, NativeContext* context)
{
	cairo_destroy (context);
	cairo_surface_flush (image);
}

} // namespace Native
} // namespace VSTGUI
