#pragma once
// What an editor's host protocol needs from the window system: the type of window a host hands
// over, frames that open their window in it, and the source that fires the idle timer on the UI
// thread (the host's run loop on Linux, the window's message loop on Windows). Each back end
// implements this once (x11/, win32/).

#include "pluginterfaces/gui/iplugview.h"

#include <memory>

namespace VSTGUI {

class CFrame;
class CVSTGUITimer;

class EditorPlatform
{
public:
	/** The platform type of the parent windows this back end embeds into. */
	static Steinberg::FIDString windowType ();
	/** Makes frames given a parent window open this back end's windows. */
	static void useFrames ();
	/** The timer source for an editor attached to `parent` through `plugFrame` (either may be
	 *  null); null when the platform has none for it (the editor is then idled by its host). */
	static std::unique_ptr<EditorPlatform> connect (Steinberg::IPlugFrame* plugFrame, void* parent);
	/** The display scale the window system asks for where the host gives none, for an editor in
	 *  `parent` (null: not yet in a window). */
	static double systemScale (void* parent);

	virtual ~EditorPlatform () = default;

	/** Fires `timer` at its period from now on (again at a new period when running); false when
	 *  the system refuses. */
	virtual bool startTimer (CVSTGUITimer* timer) = 0;
	virtual void stopTimer () = 0;
	virtual bool isTimerRegistered () const = 0;

	/** Delivers the frame window's events (where the system does not do so by itself). */
	virtual bool watchFrame (CFrame* frame) = 0;
	virtual void unwatchFrame () = 0;
};

} // namespace VSTGUI
