#pragma once
// A text label edited in place: a click starts editing, typed characters replace the shown
// text, Backspace deletes, Enter (or losing the focus) commits and reports valueChanged,
// Escape cancels.

#include "vstgui/ctextlabel.h"

namespace VSTGUI {

class CTextEdit : public CTextLabel
{
public:
	CTextEdit (const CRect& size, CControlListener* listener, int32_t tag,
	           const char* text = nullptr, CBitmap* background = nullptr, int32_t style = 0);

	bool isEditing () const { return editingText; }
	/** The text as typed so far while editing; the shown text otherwise. */
	const char* getEditText () const;

	/** Starts editing (takes the frame's focus); returns whether it started. */
	bool beginTextEdit ();
	/** Ends editing: with `commit` the typed text becomes the text and is reported. */
	void endTextEdit (bool commit);

	void draw (CDrawContext* context) override;
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	int32_t onKeyDown (VstKeyCode& key) override;
	void takeFocus () override;
	void looseFocus () override;

	/** Colours of the field while it is being edited. */
	static constexpr CColor kEditBackColor {24, 24, 28, 255};
	static constexpr CColor kEditFrameColor {150, 170, 200, 255};
	static constexpr CColor kSelectionColor {60, 90, 140, 255};

private:
	std::string editText;
	bool editingText {false};
	/** Right after editing starts the whole text is selected: typing replaces it. */
	bool allSelected {false};
};

} // namespace VSTGUI
