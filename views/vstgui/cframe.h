#pragma once
// The root container: holds every view of an editor, draws them into a back buffer and shows
// that in a child window of the host's window, or renders off-screen when it has no parent.

#include "vstgui/cviewcontainer.h"
#include "vstgui/iplatformframe.h"
#include "vstgui/vstguieditorinterface.h"

#include <memory>

namespace VSTGUI {

class CFrame : public CViewContainer
{
public:
	/** With a system window (the host's parent window) the frame opens its own window in it
	 *  through the installed platform factory; with null it renders off-screen only. */
	CFrame (const CRect& size, void* systemWindow, VSTGUIEditorInterface* editor);
	~CFrame () override;

	bool open (void* systemWindow);
	void close ();
	bool isOpen () const { return platform != nullptr; }
	IPlatformFrame* getPlatformFrame () const { return platform.get (); }
	VSTGUIEditorInterface* getEditor () const { return editor; }

	/** Redraws whatever changed since the last pass (dirty views, invalidated areas) and shows
	 *  it; returns whether anything was drawn. */
	bool idle ();
	/** Handles the window's waiting events (for hosts without a run loop). */
	void pumpEvents ();
	/** Schedules `rect` (frame coordinates) for the next idle pass. */
	void invalidRect (const CRect& rect);
	/** Shows `rect` of the back buffer in the window (e.g. after an expose). */
	void present (const CRect& rect);

	/** Sets the logical size (the layout's units). */
	bool setSize (CCoord width, CCoord height);

	/** The display scale: the window and back buffer have round (size × factor) pixels, the
	 *  views draw at it, and the window's pointer positions are divided by it. The layout and
	 *  every view's rectangle stay as they are. False (and no change) for an unusable factor. */
	bool setScaleFactor (double factor);
	double getScaleFactor () const { return scaleFactor; }
	/** The window's (and the back buffer's) size in physical pixels. */
	CRect getPhysicalSize () const;
	/** A point of the window (physical pixels) in frame coordinates. */
	CPoint fromPhysical (const CPoint& where) const;
	/** A rectangle of the window (physical pixels) in frame coordinates. */
	CRect fromPhysical (const CRect& rect) const;

	/** The knob mode: the editor's when there is one, else the frame's own setting. */
	int32_t getKnobMode () const;
	void setKnobMode (int32_t mode) { knobMode = mode; }

	// events, in frame coordinates
	CMouseEventResult onMouseDown (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseUp (CPoint& where, const CButtonState& buttons) override;
	CMouseEventResult onMouseMoved (CPoint& where, const CButtonState& buttons) override;
	bool onWheel (const CPoint& where, float distance, const CButtonState& buttons) override;
	int32_t onKeyDown (VstKeyCode& key) override;
	int32_t onKeyUp (VstKeyCode& key) override;
	/** The window lost the keyboard: the focus view loses its focus. */
	void onWindowFocusLost () { setFocusView (nullptr); }

	void setFocusView (CView* view);
	CView* getFocusView () const { return focusView; }
	CView* getMouseDownView () const { return mouseDownView; }

	/** Shows `view` above everything and sends it all mouse events until removed; the frame
	 *  takes over the caller's reference. Null removes (and releases) the current one.
	 *  Refused while another modal view is shown. */
	bool setModalView (CView* view);
	CView* getModalView () const { return modalView; }

	/** Forgets every reference to a view leaving the tree. */
	void onViewRemoved (CView* view);

	// off-screen rendering
	/** The back buffer (32-bit ARGB, the frame's physical size), brought up to date. */
	NativeImage* getBackBuffer ();
	/** Brings the back buffer up to date and writes it as a PNG file. */
	bool writePNG (const char* path);

protected:
	bool isRoot () const override { return true; }

private:
	void ensureBackBuffer ();
	void redraw (const CRect& region);
	std::vector<CView*> viewsAt (const CPoint& where, const CButtonState& buttons);

	VSTGUIEditorInterface* editor;
	std::unique_ptr<IPlatformFrame> platform;
	NativeImage* backBuffer {nullptr};
	CRect pending;
	CView* focusView {nullptr};
	CView* modalView {nullptr};
	CView* mouseDownView {nullptr};
	int32_t knobMode {kCircularMode};
	double scaleFactor {1};
	bool closing {false};
};

} // namespace VSTGUI
