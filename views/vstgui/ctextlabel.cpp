#include "vstgui/ctextlabel.h"

#include "vstgui/cbitmap.h"
#include "vstgui/cfontdesc.h"

namespace VSTGUI {

CTextLabel::CTextLabel (const CRect& size, const char* txt, CBitmap* background, int32_t style)
: CControl (size, nullptr, -1, background), text (txt ? txt : ""),
  font (new CFontDesc ("Arial", 12)), style (style)
{
}

CTextLabel::~CTextLabel () { font->forget (); }

void CTextLabel::setText (const char* txt)
{
	std::string next = txt ? txt : "";
	if (next == text)
		return;
	text = next;
	setDirty ();
}

void CTextLabel::setFont (CFontDesc* newFont)
{
	if (!newFont || newFont == font)
		return;
	newFont->remember ();
	font->forget ();
	font = newFont;
	setDirty ();
}

void CTextLabel::setFontColor (const CColor& c)
{
	fontColor = c;
	setDirty ();
}
void CTextLabel::setBackColor (const CColor& c)
{
	backColor = c;
	setDirty ();
}
void CTextLabel::setFrameColor (const CColor& c)
{
	frameColor = c;
	setDirty ();
}
void CTextLabel::setHoriAlign (CHoriTxtAlign a)
{
	horiAlign = a;
	setDirty ();
}
void CTextLabel::setAntialias (bool state)
{
	antialias = state;
	setDirty ();
}
void CTextLabel::setStyle (int32_t s)
{
	style = s;
	setDirty ();
}

void CTextLabel::drawBack (CDrawContext* context)
{
	if (background)
		background->draw (context, size, backOffset);
	else if (!transparent)
		context->fillRect (size, backColor);
	if (!(style & kNoFrame))
	{
		context->setFrameColor (frameColor);
		context->setLineWidth (1);
		context->drawRect (size, kDrawStroked);
	}
}

void CTextLabel::drawText (CDrawContext* context, const char* string)
{
	context->setFont (font);
	context->setFontColor (fontColor);
	context->drawString (string, size, horiAlign, antialias);
}

void CTextLabel::draw (CDrawContext* context)
{
	drawBack (context);
	drawText (context, text.c_str ());
}

CMouseEventResult CTextLabel::onMouseDown (CPoint&, const CButtonState&)
{
	return kMouseEventNotHandled;
}

} // namespace VSTGUI
