#include "vstgui/cbitmap.h"

#include "vstgui/cdrawcontext.h"
#include "vstgui/resourceprovider.h"

#include <cstring>

namespace VSTGUI {

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

} // namespace

CBitmap::CBitmap (const CResourceDescription& desc) : desc (desc)
{
	const unsigned char* data = nullptr;
	size_t size = 0;
	ResourceProvider provider = getResourceProvider ();
	if (provider && !desc.isEmpty () && provider (desc.getName (), &data, &size) && data)
		decode (data, size);
}

CBitmap::CBitmap (const unsigned char* pngData, size_t size) { decode (pngData, size); }

CBitmap::CBitmap (CCoord w, CCoord h)
{
	if (w <= 0 || h <= 0)
		return;
	cairo_surface_t* s =
	    cairo_image_surface_create (CAIRO_FORMAT_ARGB32, static_cast<int> (w), static_cast<int> (h));
	if (cairo_surface_status (s) != CAIRO_STATUS_SUCCESS)
	{
		cairo_surface_destroy (s);
		return;
	}
	surface = s;
	width = cairo_image_surface_get_width (s);
	height = cairo_image_surface_get_height (s);
}

CBitmap::~CBitmap ()
{
	if (surface)
		cairo_surface_destroy (surface);
}

void CBitmap::decode (const unsigned char* data, size_t size)
{
	if (!data || size == 0)
		return;
	PngReader reader {data, size, 0};
	cairo_surface_t* s = cairo_image_surface_create_from_png_stream (readPng, &reader);
	if (cairo_surface_status (s) != CAIRO_STATUS_SUCCESS)
	{
		cairo_surface_destroy (s);
		return;
	}
	surface = s;
	width = cairo_image_surface_get_width (s);
	height = cairo_image_surface_get_height (s);
}

void CBitmap::draw (CDrawContext* context, const CRect& dest, const CPoint& offset, float alpha)
{
	if (context)
		context->drawBitmap (this, dest, offset, alpha);
}

} // namespace VSTGUI
