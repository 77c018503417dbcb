// The drawing context's operations on GDI+.
#include "vstgui/cdrawcontext.h"

#include "vstgui/cbitmap.h"
#include "vstgui/cfontdesc.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace VSTGUI {

namespace {

// How far an image's pixels per unit may be from the display's and still be copied pixel for
// pixel (an odd frame height at 1.25× rounds to whole pixels: 15 units become 19, not 18.75).
constexpr double kExactTolerance = 0.02;

Gdiplus::Color toGdiplus (const CColor& c)
{
	return Gdiplus::Color (c.alpha, c.red, c.green, c.blue);
}

Gdiplus::RectF toGdiplus (const CRect& r)
{
	return Gdiplus::RectF (static_cast<Gdiplus::REAL> (r.left), static_cast<Gdiplus::REAL> (r.top),
	                       static_cast<Gdiplus::REAL> (r.width ()),
	                       static_cast<Gdiplus::REAL> (r.height ()));
}

// The view layer's strings are 8-bit (Latin-1), whose codes are the first 256 of UTF-16.
std::wstring latin1ToWide (const char* text)
{
	std::wstring out;
	for (const unsigned char* p = reinterpret_cast<const unsigned char*> (text); *p; ++p)
		out += static_cast<wchar_t> (*p);
	return out;
}

INT fontStyle (const CFontDesc* desc)
{
	const int32_t style = desc ? desc->getStyle () : kNormalFace;
	return ((style & kBoldFace) ? Gdiplus::FontStyleBold : 0) |
	       ((style & kItalicFace) ? Gdiplus::FontStyleItalic : 0);
}

// The system's sans-serif family: the one GDI+ calls so (Microsoft Sans Serif on Windows; under
// Wine one of Wine's own fonts, when they are installed), else the first installed family named
// a sans (the Liberation or DejaVu Sans that Wine takes from Linux), else the first installed.
// Only its name is kept: it outlives the GDI+ session it came from, and the generic family
// object belongs to GDI+.
std::wstring sansSerifFamily ()
{
	WCHAR name[LF_FACESIZE] = {};
	Gdiplus::GpFontFamily* generic = nullptr;
	if (Gdiplus::DllExports::GdipGetGenericFontFamilySansSerif (&generic) == Gdiplus::Ok &&
	    generic &&
	    Gdiplus::DllExports::GdipGetFamilyName (generic, name, LANG_NEUTRAL) == Gdiplus::Ok &&
	    name[0])
		return name;
	Gdiplus::InstalledFontCollection installed;
	std::vector<Gdiplus::FontFamily> families (static_cast<size_t> (installed.GetFamilyCount ()));
	INT found = 0;
	installed.GetFamilies (static_cast<INT> (families.size ()), families.data (), &found);
	std::wstring first;
	for (INT i = 0; i < found; ++i)
	{
		if (families[i].GetFamilyName (name) != Gdiplus::Ok)
			continue;
		if (std::wcsstr (name, L"Sans"))
			return name;
		if (first.empty ())
			first = name;
	}
	return first;
}

// GDI+ makes no font of a family the system lacks (Arial in a Wine prefix without a replacement
// for it, say), and text in such a font is not drawn at all: it is drawn in the system's
// sans-serif family instead.
std::wstring drawableFamily (const std::wstring& wanted, INT style)
{
	const Gdiplus::FontFamily family (wanted.c_str ());
	if (family.IsAvailable () && family.IsStyleAvailable (style))
		return wanted;
	static const std::wstring sansSerif = sansSerifFamily ();
	return sansSerif;
}

// A GDI+ font for the description, in pixels as cairo sizes it.
struct TextFont
{
	explicit TextFont (const CFontDesc* desc)
	: family (drawableFamily (latin1ToWide (desc ? desc->getResolvedFamily ().c_str () : "Arial"),
	                          fontStyle (desc))),
	  font (family.c_str (), static_cast<Gdiplus::REAL> (desc ? desc->getSize () : 12.0),
	        fontStyle (desc), Gdiplus::UnitPixel)
	{
	}

	/** The distance from the top of a line to its baseline and the line's height (ascent
	 *  plus descent), in pixels. */
	void metrics (Gdiplus::REAL* ascent, Gdiplus::REAL* height) const
	{
		Gdiplus::FontFamily face;
		font.GetFamily (&face);
		const INT style = font.GetStyle ();
		const Gdiplus::REAL perUnit = font.GetSize () / face.GetEmHeight (style);
		*ascent = face.GetCellAscent (style) * perUnit;
		*height = (face.GetCellAscent (style) + face.GetCellDescent (style)) * perUnit;
	}

	std::wstring family;
	Gdiplus::Font font;
};

// Text as cairo sets it: grey-scale anti-aliasing or none, metrics fitted to the pixel grid.
void setTextRendering (Gdiplus::Graphics* graphics, bool antialiasText)
{
	graphics->SetTextRenderingHint (antialiasText
	                                    ? Gdiplus::TextRenderingHintAntiAliasGridFit
	                                    : Gdiplus::TextRenderingHintSingleBitPerPixelGridFit);
}

Gdiplus::REAL advanceOf (Gdiplus::Graphics* graphics, const std::wstring& text,
                         const Gdiplus::Font& font)
{
	Gdiplus::RectF box;
	graphics->MeasureString (text.c_str (), static_cast<INT> (text.size ()), &font,
	                         Gdiplus::PointF (0, 0), Gdiplus::StringFormat::GenericTypographic (),
	                         &box);
	return box.Width;
}

} // namespace

void CDrawContext::save () { savedStates.push_back (native->Save ()); }

void CDrawContext::restore ()
{
	if (savedStates.empty ())
		return;
	native->Restore (savedStates.back ());
	savedStates.pop_back ();
}

void CDrawContext::translate (CCoord dx, CCoord dy)
{
	native->TranslateTransform (static_cast<Gdiplus::REAL> (dx), static_cast<Gdiplus::REAL> (dy));
}

void CDrawContext::scale (double factor)
{
	if (factor == 1)
		return;
	native->ScaleTransform (static_cast<Gdiplus::REAL> (factor),
	                        static_cast<Gdiplus::REAL> (factor));
	scaleFactor *= factor;
}

void CDrawContext::clear (const CColor& color) { native->Clear (toGdiplus (color)); }

void CDrawContext::clipRect (const CRect& r) { native->IntersectClip (toGdiplus (r)); }

void CDrawContext::fillRect (const CRect& rect, const CColor& color)
{
	if (rect.isEmpty ())
		return;
	Gdiplus::SolidBrush brush (toGdiplus (color));
	native->FillRectangle (&brush, toGdiplus (rect));
}

void CDrawContext::strokeRect (const CRect& rect)
{
	Gdiplus::Pen pen (toGdiplus (frameColor), static_cast<Gdiplus::REAL> (lineWidth));
	const Gdiplus::SmoothingMode before = native->GetSmoothingMode ();
	native->SetSmoothingMode (antialias ? Gdiplus::SmoothingModeAntiAlias
	                                    : Gdiplus::SmoothingModeNone);
	const CCoord half = lineWidth / 2;
	const CRect inner (rect.left + half, rect.top + half, rect.right - half, rect.bottom - half);
	native->DrawRectangle (&pen, toGdiplus (inner));
	native->SetSmoothingMode (before);
}

void CDrawContext::drawLine (const CPoint& from, const CPoint& to)
{
	Gdiplus::Pen pen (toGdiplus (frameColor), static_cast<Gdiplus::REAL> (lineWidth));
	pen.SetLineCap (Gdiplus::LineCapRound, Gdiplus::LineCapRound, Gdiplus::DashCapRound);
	const Gdiplus::SmoothingMode before = native->GetSmoothingMode ();
	native->SetSmoothingMode (antialias ? Gdiplus::SmoothingModeAntiAlias
	                                    : Gdiplus::SmoothingModeNone);
	native->DrawLine (&pen, static_cast<Gdiplus::REAL> (from.x),
	                  static_cast<Gdiplus::REAL> (from.y), static_cast<Gdiplus::REAL> (to.x),
	                  static_cast<Gdiplus::REAL> (to.y));
	native->SetSmoothingMode (before);
}

void CDrawContext::drawBitmap (CBitmap* bitmap, const CRect& dest, const CPoint& offset,
                               float alpha)
{
	NativeImage* image = bitmap ? bitmap->getNativeImage (scaleFactor) : nullptr;
	if (!image || dest.isEmpty () || alpha <= 0.f)
		return;
	// The image's pixels per logical unit, on each axis: a film strip painted at a factor keeps
	// whole-pixel frames, so its frames start at the same fraction of its height as at 1×.
	const double perUnitX = image->GetWidth () / bitmap->getWidth ();
	const double perUnitY = image->GetHeight () / bitmap->getHeight ();
	// The part of the bitmap that falls into dest: copied pixel for pixel where the image has the
	// display's pixels, drawn smoothly to size where it has not.
	const bool pixelExact = std::fabs (perUnitX - scaleFactor) < kExactTolerance &&
	                        std::fabs (perUnitY - scaleFactor) < kExactTolerance;
	std::unique_ptr<Gdiplus::ImageAttributes> attributes;
	if (alpha < 1.f)
	{
		Gdiplus::ColorMatrix fade = {{{1, 0, 0, 0, 0},
		                              {0, 1, 0, 0, 0},
		                              {0, 0, 1, 0, 0},
		                              {0, 0, 0, alpha, 0},
		                              {0, 0, 0, 0, 1}}};
		attributes = std::make_unique<Gdiplus::ImageAttributes> ();
		attributes->SetColorMatrix (&fade);
	}
	if (scaleFactor == 1 && perUnitX == 1 && perUnitY == 1)
	{
		const INT srcX = static_cast<INT> (offset.x), srcY = static_cast<INT> (offset.y);
		const INT w = std::min (static_cast<INT> (dest.width ()),
		                        static_cast<INT> (image->GetWidth ()) - srcX);
		const INT h = std::min (static_cast<INT> (dest.height ()),
		                        static_cast<INT> (image->GetHeight ()) - srcY);
		if (w <= 0 || h <= 0)
			return;
		Gdiplus::Rect target (static_cast<INT> (dest.left), static_cast<INT> (dest.top), w, h);
		native->DrawImage (image, target, srcX, srcY, w, h, Gdiplus::UnitPixel, attributes.get ());
		return;
	}
	const double srcX = offset.x * perUnitX, srcY = offset.y * perUnitY;
	const double w = std::min (dest.width () * perUnitX, image->GetWidth () - srcX);
	const double h = std::min (dest.height () * perUnitY, image->GetHeight () - srcY);
	if (w <= 0 || h <= 0)
		return;
	const Gdiplus::RectF target (
	    static_cast<Gdiplus::REAL> (dest.left), static_cast<Gdiplus::REAL> (dest.top),
	    static_cast<Gdiplus::REAL> (w / perUnitX), static_cast<Gdiplus::REAL> (h / perUnitY));
	const Gdiplus::InterpolationMode before = native->GetInterpolationMode ();
	if (!pixelExact)
		native->SetInterpolationMode (Gdiplus::InterpolationModeHighQualityBilinear);
	native->DrawImage (image, target, static_cast<Gdiplus::REAL> (srcX),
	                   static_cast<Gdiplus::REAL> (srcY), static_cast<Gdiplus::REAL> (w),
	                   static_cast<Gdiplus::REAL> (h), Gdiplus::UnitPixel, attributes.get ());
	native->SetInterpolationMode (before);
}

CCoord CDrawContext::getStringWidth (const char* text)
{
	if (!text || !*text)
		return 0;
	TextFont textFont (font);
	setTextRendering (native, true);
	return advanceOf (native, latin1ToWide (text), textFont.font);
}

void CDrawContext::drawString (const char* text, const CRect& rect, CHoriTxtAlign align,
                               bool antialiasText)
{
	if (!text || !*text || rect.isEmpty ())
		return;
	const std::wstring wide = latin1ToWide (text);
	TextFont textFont (font);
	save ();
	clipRect (rect);
	setTextRendering (native, antialiasText);
	Gdiplus::REAL ascent = 0, height = 0;
	textFont.metrics (&ascent, &height);
	const double x = alignedLeft (rect, advanceOf (native, wide, textFont.font), align);
	const double baseline = rect.top + (rect.height () - height) / 2 + ascent;
	// Whole-pixel origins (on the display) keep small text crisp; GDI+ places the top of the
	// line, not its baseline.
	const double f = scaleFactor;
	const Gdiplus::PointF origin (
	    static_cast<Gdiplus::REAL> (std::round (x * f) / f),
	    static_cast<Gdiplus::REAL> (std::round (baseline * f) / f - ascent));
	Gdiplus::SolidBrush brush (toGdiplus (fontColor));
	native->DrawString (wide.c_str (), static_cast<INT> (wide.size ()), &textFont.font, origin,
	                    Gdiplus::StringFormat::GenericTypographic (), &brush);
	restore ();
}

} // namespace VSTGUI
