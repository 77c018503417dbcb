#pragma once
// A control that shows one line of text.

#include "vstgui/ccolor.h"
#include "vstgui/ccontrol.h"
#include "vstgui/cdrawcontext.h"

#include <string>

namespace VSTGUI {

class CFontDesc;

enum CTextStyle : int32_t
{
	/** No frame is drawn around the text. */
	kNoFrame = 0x4000
};

class CTextLabel : public CControl
{
public:
	CTextLabel (const CRect& size, const char* text = nullptr, CBitmap* background = nullptr,
	            int32_t style = 0);
	~CTextLabel () override;

	virtual void setText (const char* text);
	const char* getText () const { return text.c_str (); }

	/** Keeps its own reference to the font. The default is Arial 12 px. */
	void setFont (CFontDesc* font);
	CFontDesc* getFont () const { return font; }
	void setFontColor (const CColor& color);
	const CColor& getFontColor () const { return fontColor; }
	void setBackColor (const CColor& color);
	const CColor& getBackColor () const { return backColor; }
	void setFrameColor (const CColor& color);
	const CColor& getFrameColor () const { return frameColor; }
	void setHoriAlign (CHoriTxtAlign align);
	CHoriTxtAlign getHoriAlign () const { return horiAlign; }
	/** Anti-aliased text (on by default). */
	void setAntialias (bool state);
	bool getAntialias () const { return antialias; }
	void setStyle (int32_t newStyle);
	int32_t getStyle () const { return style; }

	void draw (CDrawContext* context) override;
	/** Labels take no mouse events; the views beneath get them. */
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;

protected:
	/** Background bitmap or colour, then the frame unless kNoFrame. */
	void drawBack (CDrawContext* context);
	void drawText (CDrawContext* context, const char* string);

	std::string text;
	CFontDesc* font;
	CColor fontColor {kWhiteCColor};
	CColor backColor {kBlackCColor};
	CColor frameColor {kBlackCColor};
	CHoriTxtAlign horiAlign {kCenterText};
	int32_t style;
	bool antialias {true};
};

} // namespace VSTGUI
