#include "vstgui/ctextedit.h"

#include "vstgui/cframe.h"

namespace VSTGUI {

CTextEdit::CTextEdit (const CRect& size, CControlListener* listener, int32_t tag, const char* txt,
                      CBitmap* background, int32_t style)
: CTextLabel (size, txt, background, style)
{
	setListener (listener);
	setTag (tag);
}

const char* CTextEdit::getEditText () const { return editingText ? editText.c_str () : getText (); }

bool CTextEdit::beginTextEdit ()
{
	if (editingText)
		return true;
	CFrame* f = getFrame ();
	if (!f)
		return false;
	f->setFocusView (this);
	return editingText;
}

void CTextEdit::takeFocus ()
{
	if (editingText)
		return;
	editingText = true;
	allSelected = true;
	editText = text;
	setDirty ();
}

void CTextEdit::looseFocus ()
{
	if (editingText)
		endTextEdit (true);
}

void CTextEdit::endTextEdit (bool commit)
{
	if (!editingText)
		return;
	editingText = false;
	allSelected = false;
	std::string typed;
	typed.swap (editText);
	setDirty ();
	if (CFrame* f = getFrame (); f && f->getFocusView () == this)
		f->setFocusView (nullptr);
	if (!commit)
		return;
	text = typed;
	valueChanged ();
}

CMouseEventResult CTextEdit::onMouseDown (CPoint&, const CButtonState& buttons)
{
	if (!buttons.isLeftButton ())
		return kMouseEventNotHandled;
	if (editingText)
	{
		// A click into the field being edited drops the selection: typing appends.
		allSelected = false;
		setDirty ();
	}
	else
		beginTextEdit ();
	return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

int32_t CTextEdit::onKeyDown (VstKeyCode& key)
{
	if (!editingText)
		return -1;
	switch (key.virt)
	{
		case VKEY_RETURN:
		case VKEY_ENTER: endTextEdit (true); return 1;
		case VKEY_ESCAPE: endTextEdit (false); return 1;
		case VKEY_BACK:
			if (allSelected)
				editText.clear ();
			else if (!editText.empty ())
				editText.pop_back ();
			allSelected = false;
			setDirty ();
			return 1;
		case VKEY_DELETE:
			if (allSelected)
				editText.clear ();
			allSelected = false;
			setDirty ();
			return 1;
		case VKEY_LEFT:
		case VKEY_RIGHT:
		case VKEY_HOME:
		case VKEY_END:
			allSelected = false;
			setDirty ();
			return 1;
		default: break;
	}
	if (key.character >= 0x20 && key.character <= 0xFF && key.character != 0x7F &&
	    !(key.modifier & MODIFIER_CONTROL))
	{
		if (allSelected)
			editText.clear ();
		allSelected = false;
		editText += static_cast<char> (key.character);
		setDirty ();
		return 1;
	}
	return -1;
}

void CTextEdit::draw (CDrawContext* context)
{
	if (!editingText)
	{
		CTextLabel::draw (context);
		return;
	}
	context->fillRect (size, kEditBackColor);
	context->setFont (font);
	CCoord textWidth = context->getStringWidth (editText.c_str ());
	CCoord x = size.left + 2;
	if (horiAlign == kCenterText)
		x = size.left + (size.width () - textWidth) / 2;
	else if (horiAlign == kRightText)
		x = size.right - 2 - textWidth;
	if (allSelected && !editText.empty ())
		context->fillRect (CRect (x - 1, size.top + 1, x + textWidth + 1, size.bottom - 1),
		                   kSelectionColor);
	drawText (context, editText.c_str ());
	if (!allSelected)
	{
		context->setFrameColor (fontColor);
		context->setLineWidth (1);
		context->setAntialias (false);
		CCoord caret = static_cast<CCoord> (static_cast<int> (x + textWidth)) + 0.5;
		context->drawLine (CPoint (caret, size.top + 2), CPoint (caret, size.bottom - 2));
		context->setAntialias (true);
	}
	context->setFrameColor (kEditFrameColor);
	context->drawRect (size, kDrawStroked);
}

} // namespace VSTGUI
