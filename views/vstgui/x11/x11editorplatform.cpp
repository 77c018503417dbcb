// Editors on X11: embedded in an X11 window, idled by the host's run loop.
#include "vstgui/editorplatform.h"

#include "vstgui/x11/runloopconnection.h"
#include "vstgui/x11/x11frame.h"

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

} // namespace

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
