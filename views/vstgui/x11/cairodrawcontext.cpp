// The drawing context's operations on cairo.
#include "vstgui/cdrawcontext.h"

#include "vstgui/cbitmap.h"
#include "vstgui/cfontdesc.h"

#include <cmath>
#include <string>

namespace VSTGUI {

namespace {

// How far an image's pixels per unit may be from the display's and still be copied pixel for
// pixel (an odd frame height at 1.25× rounds to whole pixels: 15 units become 19, not 18.75).
constexpr double kExactTolerance = 0.02;

void applyColor (cairo_t* cr, const CColor& c)
{
	cairo_set_source_rgba (cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
}

void applyFont (cairo_t* cr, const CFontDesc* font, bool antialiasText)
{
	std::string family = font ? font->getResolvedFamily () : std::string ("sans-serif");
	int32_t style = font ? font->getStyle () : kNormalFace;
	cairo_select_font_face (
	    cr, family.c_str (),
	    (style & kItalicFace) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
	    (style & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
	cairo_set_font_size (cr, font ? font->getSize () : 12.0);
	cairo_font_options_t* options = cairo_font_options_create ();
	cairo_font_options_set_antialias (options,
	                                  antialiasText ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
	cairo_font_options_set_hint_metrics (options, CAIRO_HINT_METRICS_ON);
	cairo_set_font_options (cr, options);
	cairo_font_options_destroy (options);
}

} // namespace

void CDrawContext::save () { cairo_save (native); }
void CDrawContext::restore () { cairo_restore (native); }
void CDrawContext::translate (CCoord dx, CCoord dy) { cairo_translate (native, dx, dy); }

void CDrawContext::scale (double factor)
{
	if (factor == 1)
		return;
	cairo_scale (native, factor, factor);
	scaleFactor *= factor;
}

void CDrawContext::clear (const CColor& color)
{
	cairo_save (native);
	cairo_set_operator (native, CAIRO_OPERATOR_SOURCE);
	applyColor (native, color);
	cairo_paint (native);
	cairo_restore (native);
}

void CDrawContext::clipRect (const CRect& r)
{
	cairo_rectangle (native, r.left, r.top, r.width (), r.height ());
	cairo_clip (native);
}

void CDrawContext::fillRect (const CRect& rect, const CColor& color)
{
	if (rect.isEmpty ())
		return;
	cairo_save (native);
	applyColor (native, color);
	cairo_rectangle (native, rect.left, rect.top, rect.width (), rect.height ());
	cairo_fill (native);
	cairo_restore (native);
}

void CDrawContext::strokeRect (const CRect& rect)
{
	cairo_save (native);
	cairo_set_antialias (native, antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
	applyColor (native, frameColor);
	cairo_set_line_width (native, lineWidth);
	double inset = lineWidth / 2;
	cairo_rectangle (native, rect.left + inset, rect.top + inset, rect.width () - lineWidth,
	                 rect.height () - lineWidth);
	cairo_stroke (native);
	cairo_restore (native);
}

void CDrawContext::drawLine (const CPoint& from, const CPoint& to)
{
	cairo_save (native);
	cairo_set_antialias (native, antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
	applyColor (native, frameColor);
	cairo_set_line_width (native, lineWidth);
	cairo_set_line_cap (native, CAIRO_LINE_CAP_ROUND);
	cairo_move_to (native, from.x, from.y);
	cairo_line_to (native, to.x, to.y);
	cairo_stroke (native);
	cairo_restore (native);
}

void CDrawContext::drawBitmap (CBitmap* bitmap, const CRect& dest, const CPoint& offset,
                               float alpha)
{
	if (!bitmap || !bitmap->getNativeImage () || dest.isEmpty () || alpha <= 0.f)
		return;
	cairo_surface_t* image = bitmap->getNativeImage (scaleFactor);
	// The image's pixels per logical unit, on each axis: a film strip painted at a factor keeps
	// whole-pixel frames, so its frames start at the same fraction of its height as at 1×.
	const double perUnitX = cairo_image_surface_get_width (image) / bitmap->getWidth ();
	const double perUnitY = cairo_image_surface_get_height (image) / bitmap->getHeight ();
	cairo_save (native);
	cairo_rectangle (native, dest.left, dest.top, dest.width (), dest.height ());
	cairo_clip (native);
	cairo_set_source_surface (native, image, dest.left - offset.x, dest.top - offset.y);
	cairo_matrix_t toImage;
	cairo_matrix_init_scale (&toImage, perUnitX, perUnitY);
	cairo_matrix_translate (&toImage, offset.x - dest.left, offset.y - dest.top);
	cairo_pattern_set_matrix (cairo_get_source (native), &toImage);
	// Pixel-exact copies where the image has the display's pixels (no smoothing between
	// neighbouring film-strip frames; a strip's frames rounded to whole pixels count as exact);
	// smooth where it is drawn to another size.
	const bool pixelExact = std::fabs (perUnitX - scaleFactor) < kExactTolerance &&
	                        std::fabs (perUnitY - scaleFactor) < kExactTolerance;
	cairo_pattern_set_extend (cairo_get_source (native),
	                          pixelExact ? CAIRO_EXTEND_NONE : CAIRO_EXTEND_PAD);
	cairo_pattern_set_filter (cairo_get_source (native),
	                          pixelExact ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
	if (alpha >= 1.f)
		cairo_paint (native);
	else
		cairo_paint_with_alpha (native, alpha);
	cairo_restore (native);
}

CCoord CDrawContext::getStringWidth (const char* text)
{
	if (!text || !*text)
		return 0;
	cairo_save (native);
	applyFont (native, font, true);
	cairo_text_extents_t ext;
	cairo_text_extents (native, text, &ext);
	cairo_restore (native);
	return ext.x_advance;
}

namespace {

// The view layer's strings are 8-bit (Latin-1); cairo wants UTF-8.
std::string latin1ToUtf8 (const char* text)
{
	std::string out;
	for (const unsigned char* p = reinterpret_cast<const unsigned char*> (text); *p; ++p)
	{
		if (*p < 0x80)
			out += static_cast<char> (*p);
		else
		{
			out += static_cast<char> (0xC0 | (*p >> 6));
			out += static_cast<char> (0x80 | (*p & 0x3F));
		}
	}
	return out;
}

} // namespace

void CDrawContext::drawString (const char* text, const CRect& rect, CHoriTxtAlign align,
                               bool antialiasText)
{
	if (!text || !*text || rect.isEmpty ())
		return;
	std::string utf8 = latin1ToUtf8 (text);
	cairo_save (native);
	clipRect (rect);
	applyFont (native, font, antialiasText);
	cairo_font_extents_t fext;
	cairo_font_extents (native, &fext);
	cairo_text_extents_t text_ext;
	cairo_text_extents (native, utf8.c_str (), &text_ext);

	double x = alignedLeft (rect, text_ext.x_advance, align);
	double y = rect.top + (rect.height () - (fext.ascent + fext.descent)) / 2 + fext.ascent;
	// Whole-pixel origins (on the display) keep small text crisp.
	cairo_move_to (native, std::round (x * scaleFactor) / scaleFactor,
	               std::round (y * scaleFactor) / scaleFactor);
	applyColor (native, fontColor);
	cairo_show_text (native, utf8.c_str ());
	cairo_restore (native);
}

} // namespace VSTGUI
