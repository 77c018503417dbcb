#include "vstgui/cdrawcontext.h"

#include "vstgui/cbitmap.h"
#include "vstgui/cfontdesc.h"

#include <cmath>
#include <string>

namespace VSTGUI {

CDrawContext::CDrawContext (cairo_t* cr) : cr (cr) {}

void CDrawContext::applyColor (const CColor& c)
{
	cairo_set_source_rgba (cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
}

void CDrawContext::clipRect (const CRect& r)
{
	cairo_rectangle (cr, r.left, r.top, r.width (), r.height ());
	cairo_clip (cr);
}

void CDrawContext::fillRect (const CRect& rect, const CColor& color)
{
	if (rect.isEmpty ())
		return;
	cairo_save (cr);
	applyColor (color);
	cairo_rectangle (cr, rect.left, rect.top, rect.width (), rect.height ());
	cairo_fill (cr);
	cairo_restore (cr);
}

void CDrawContext::drawRect (const CRect& rect, CDrawStyle style)
{
	if (style == kDrawFilled || style == kDrawFilledAndStroked)
		fillRect (rect, fillColor);
	if (style == kDrawStroked || style == kDrawFilledAndStroked)
	{
		cairo_save (cr);
		cairo_set_antialias (cr, antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
		applyColor (frameColor);
		cairo_set_line_width (cr, lineWidth);
		double inset = lineWidth / 2;
		cairo_rectangle (cr, rect.left + inset, rect.top + inset, rect.width () - lineWidth,
		                 rect.height () - lineWidth);
		cairo_stroke (cr);
		cairo_restore (cr);
	}
}

void CDrawContext::drawLine (const CPoint& from, const CPoint& to)
{
	cairo_save (cr);
	cairo_set_antialias (cr, antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
	applyColor (frameColor);
	cairo_set_line_width (cr, lineWidth);
	cairo_set_line_cap (cr, CAIRO_LINE_CAP_ROUND);
	cairo_move_to (cr, from.x, from.y);
	cairo_line_to (cr, to.x, to.y);
	cairo_stroke (cr);
	cairo_restore (cr);
}

void CDrawContext::drawBitmap (CBitmap* bitmap, const CRect& dest, const CPoint& offset, float alpha)
{
	if (!bitmap || !bitmap->getSurface () || dest.isEmpty () || alpha <= 0.f)
		return;
	cairo_save (cr);
	cairo_rectangle (cr, dest.left, dest.top, dest.width (), dest.height ());
	cairo_clip (cr);
	cairo_set_source_surface (cr, bitmap->getSurface (), dest.left - offset.x, dest.top - offset.y);
	// Pixel-exact copies: no smoothing between neighbouring film-strip frames.
	cairo_pattern_set_filter (cairo_get_source (cr), CAIRO_FILTER_NEAREST);
	if (alpha >= 1.f)
		cairo_paint (cr);
	else
		cairo_paint_with_alpha (cr, alpha);
	cairo_restore (cr);
}

void CDrawContext::applyFont (bool antialiasText)
{
	std::string family = font ? font->getResolvedFamily () : std::string ("sans-serif");
	int32_t style = font ? font->getStyle () : kNormalFace;
	cairo_select_font_face (cr, family.c_str (),
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

CCoord CDrawContext::getStringWidth (const char* text)
{
	if (!text || !*text)
		return 0;
	cairo_save (cr);
	applyFont (true);
	cairo_text_extents_t ext;
	cairo_text_extents (cr, text, &ext);
	cairo_restore (cr);
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
	cairo_save (cr);
	clipRect (rect);
	applyFont (antialiasText);
	cairo_font_extents_t fext;
	cairo_font_extents (cr, &fext);
	cairo_text_extents_t text_ext;
	cairo_text_extents (cr, utf8.c_str (), &text_ext);

	double x = rect.left;
	if (align == kCenterText)
		x = rect.left + (rect.width () - text_ext.x_advance) / 2;
	else if (align == kRightText)
		x = rect.right - text_ext.x_advance;
	double y = rect.top + (rect.height () - (fext.ascent + fext.descent)) / 2 + fext.ascent;
	// Whole-pixel origins keep small text crisp.
	cairo_move_to (cr, std::round (x), std::round (y));
	applyColor (fontColor);
	cairo_show_text (cr, utf8.c_str ());
	cairo_restore (cr);
}

} // namespace VSTGUI
