#pragma once
// What a frame may ask of the editor that owns it.

#include <cstdint>

namespace VSTGUI {

class CFrame;

enum CKnobMode : int32_t
{
	kCircularMode = 0,
	kRelativCircularMode,
	kLinearMode
};

class VSTGUIEditorInterface
{
public:
	virtual ~VSTGUIEditorInterface () = default;

	/** How knobs follow the mouse (a CKnobMode). */
	virtual int32_t getKnobMode () const { return kCircularMode; }
	/** The display scale the editor's frame opens at (physical pixels per logical unit). */
	virtual double getContentScaleFactor () const { return 1; }
	/** The window system reports a new display scale for the frame's window. */
	virtual void onSystemScaleChanged (double /*factor*/) {}
	CFrame* getFrame () const { return frame; }

protected:
	CFrame* frame {nullptr};
};

} // namespace VSTGUI
