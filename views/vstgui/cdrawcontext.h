#pragma once
// A thin wrapper around the back end's drawing context (cairo or GDI+): colours, rectangles,
// lines, bitmaps and text.

#include "nativegraphics.h"
#include "vstgui/ccolor.h"
#include "vstgui/crect.h"

#include <cstdint>
#include <vector>

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
	/** Draws through `native`, which the caller keeps owning. */
	explicit CDrawContext (NativeContext* native);

	NativeContext* getNative () const { return native; }

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

	/** Saves and restores the clip and the origin. */
	void save ();
	void restore ();
	void clipRect (const CRect& r);
	/** Moves the origin by (dx, dy). */
	void translate (CCoord dx, CCoord dy);
	/** From here on one unit is `factor` pixels: the frame draws its logical layout at the
	 *  display's scale. Bitmaps take the artwork painted for it, text its size. */
	void scale (double factor);
	double getScaleFactor () const { return scaleFactor; }
	/** Replaces everything inside the clip with `color` (no blending). */
	void clear (const CColor& color);

	/** The left edge of a line of text `width` wide aligned in `rect`. */
	static CCoord alignedLeft (const CRect& rect, CCoord width, CHoriTxtAlign align);

private:
	void strokeRect (const CRect& rect);

	NativeContext* native;
	/** Saved states, for a back end whose context keeps no stack of its own (GDI+). */
	std::vector<uint32_t> savedStates;
	CColor fillColor {kWhiteCColor};
	CColor frameColor {kBlackCColor};
	CColor fontColor {kWhiteCColor};
	CCoord lineWidth {1};
	const CFontDesc* font {nullptr};
	bool antialias {true};
	double scaleFactor {1};
};

} // namespace VSTGUI
