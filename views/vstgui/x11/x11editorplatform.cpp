// Editors on X11: embedded in an X11 window, idled by the host's run loop.
#include "vstgui/editorplatform.h"

#include "vstgui/displayscale.h"
#include "vstgui/x11/runloopconnection.h"
#include "vstgui/x11/x11frame.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <cstdlib>
#include <cstring>

namespace VSTGUI {

namespace {

class X11EditorPlatform : public EditorPlatform
{
public:
	explicit X11EditorPlatform (Steinberg::Linux::IRunLoop* hostLoop) : connection (hostLoop) {}

	bool startTimer (CVSTGUITimer* timer) override { return connection.startTimer (timer); }
	void stopTimer () override { connection.stopTimer (); }
	bool isTimerRegistered () const override { return connection.isTimerRegistered (); }
	bool watchFrame (CFrame* frame) override { return connection.watchFrame (frame); }
	void unwatchFrame () override { connection.unwatchFrame (); }

private:
	RunLoopConnection connection;
};

// The DPI the desktop publishes to X11 programs (the Xft.dpi resource on the root window, as
// toolkits read it); 0 when there is no display or no such resource.
double desktopDpi ()
{
	Display* display = XOpenDisplay (nullptr);
	if (!display)
		return 0;
	double dpi = 0;
	if (const char* resources = XResourceManagerString (display))
	{
		XrmInitialize ();
		if (XrmDatabase database = XrmGetStringDatabase (resources))
		{
			char* type = nullptr;
			XrmValue value {};
			if (XrmGetResource (database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr &&
			    type && std::strcmp (type, "String") == 0)
				dpi = std::atof (value.addr);
			XrmDestroyDatabase (database);
		}
	}
	XCloseDisplay (display);
	return dpi;
}

} // namespace

double EditorPlatform::systemScale (void* /*parent*/)
{
	// For hosts and desktops that publish nothing (or publish it wrongly), the user's word.
	if (const double chosen = parseScaleFactor (std::getenv ("QUORVANE_UI_SCALE")))
		return chosen;
	const double dpi = desktopDpi ();
	return dpi > 0 ? scaleForDpi (dpi) : 1;
}

Steinberg::FIDString EditorPlatform::windowType ()
{
	return Steinberg::kPlatformTypeX11EmbedWindowID;
}

void EditorPlatform::useFrames () { useX11PlatformFrames (); }

std::unique_ptr<EditorPlatform> EditorPlatform::connect (Steinberg::IPlugFrame* plugFrame,
                                                         void* parent)
{
	Steinberg::Linux::IRunLoop* hostLoop = nullptr;
	if (plugFrame && parent)
		plugFrame->queryInterface (Steinberg::Linux::IRunLoop::iid,
		                           reinterpret_cast<void**> (&hostLoop));
	if (!hostLoop)
		return nullptr;
	auto result = std::make_unique<X11EditorPlatform> (hostLoop);
	hostLoop->release (); // the connection keeps its own reference
	return result;
}

} // namespace VSTGUI
