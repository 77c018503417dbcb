#pragma once
// A thin wrapper around a cairo context: colours, rectangles, lines, bitmaps and text.

#include "vstgui/ccolor.h"
#include "vstgui/crect.h"

#include <cairo.h>

namespace VSTGUI {

class CBitmap;
class CFontDesc;

enum CHoriTxtAlign
{
	kLeftText = 0,
	kCenterText,
	kRightText
};

enum CDrawStyle
{
	kDrawStroked = 0,
	kDrawFilled,
	kDrawFilledAndStroked
};

class CDrawContext
{
public:
	/** Draws through `cr`, which the caller keeps owning. */
	explicit CDrawContext (cairo_t* cr);

	cairo_t* getCairo () const { return cr; }

	void setFillColor (const CColor& c) { fillColor = c; }
	void setFrameColor (const CColor& c) { frameColor = c; }
	void setFontColor (const CColor& c) { fontColor = c; }
	void setLineWidth (CCoord w) { lineWidth = w; }
	void setFont (const CFontDesc* f) { font = f; }
	const CColor& getFillColor () const { return fillColor; }
	const CColor& getFrameColor () const { return frameColor; }
	const CColor& getFontColor () const { return fontColor; }

	/** Shape anti-aliasing (text has its own switch in drawString). */
	void setAntialias (bool state) { antialias = state; }
	bool getAntialias () const { return antialias; }

	void drawRect (const CRect& rect, CDrawStyle style = kDrawStroked);
	void fillRect (const CRect& rect, const CColor& color);
	void drawLine (const CPoint& from, const CPoint& to);

	/** Draws part of `bitmap`, starting at `offset`, into `dest`, blended with `alpha`. */
	void drawBitmap (CBitmap* bitmap, const CRect& dest, const CPoint& offset = CPoint (0, 0),
	                 float alpha = 1.f);

	/** Draws one line of 8-bit text in the current font and font colour, vertically centred
	 *  in `rect` and aligned horizontally as asked; clipped to `rect`. */
	void drawString (const char* text, const CRect& rect, CHoriTxtAlign align = kCenterText,
	                 bool antialiasText = true);
	CCoord getStringWidth (const char* text);

	void save () { cairo_save (cr); }
	void restore () { cairo_restore (cr); }
	void clipRect (const CRect& r);

private:
	void applyColor (const CColor& c);
	void applyFont (bool antialiasText);

	cairo_t* cr;
	CColor fillColor {kWhiteCColor};
	CColor frameColor {kBlackCColor};
	CColor fontColor {kWhiteCColor};
	CCoord lineWidth {1};
	const CFontDesc* font {nullptr};
	bool antialias {true};
};

} // namespace VSTGUI
