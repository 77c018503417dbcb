// Editors on Windows: embedded in an HWND; the idle timer is a window timer (SetTimer /
// WM_TIMER) on a message-only window of the UI thread, so the thread's message loop fires it.
#include "vstgui/editorplatform.h"

#include "win32frame.h"
#include "windowclass.h"

#include "vstgui/cvstguitimer.h"
#include "vstgui/displayscale.h"

namespace VSTGUI {

namespace {

class Win32EditorPlatform : public EditorPlatform
{
public:
	Win32EditorPlatform () { window = timerClass ().create (0, HWND_MESSAGE, 0, 0, this); }
	~Win32EditorPlatform () override
	{
		stopTimer ();
		SetWindowLongPtrW (window, GWLP_USERDATA, 0);
		timerClass ().destroy (window);
	}

	bool startTimer (CVSTGUITimer* newTimer) override
	{
		if (!window || !newTimer)
			return false;
		timer = newTimer;
		// Setting the same timer again replaces its period.
		registered = SetTimer (window, kTimerId, timer->getFireTime (), nullptr) != 0;
		return registered;
	}

	void stopTimer () override
	{
		if (registered)
			KillTimer (window, kTimerId);
		registered = false;
		timer = nullptr;
	}

	bool isTimerRegistered () const override { return registered; }
	bool watchFrame (CFrame*) override { return true; } // its window gets its own messages
	void unwatchFrame () override {}

	bool isValid () const { return window != nullptr; }

private:
	static constexpr UINT_PTR kTimerId = 1;

	static WindowClass& timerClass ()
	{
		static WindowClass instance (L"QuorvaneTimer", &windowProc, 0);
		return instance;
	}

	static LRESULT CALLBACK windowProc (HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
	{
		if (message == WM_NCCREATE)
			SetWindowLongPtrW (hwnd, GWLP_USERDATA,
			                   reinterpret_cast<LONG_PTR> (
			                       reinterpret_cast<CREATESTRUCTW*> (lParam)->lpCreateParams));
		auto* self =
		    reinterpret_cast<Win32EditorPlatform*> (GetWindowLongPtrW (hwnd, GWLP_USERDATA));
		if (message == WM_TIMER && wParam == kTimerId && self && self->timer)
		{
			self->timer->fire ();
			return 0;
		}
		return DefWindowProcW (hwnd, message, wParam, lParam);
	}

	HWND window {nullptr};
	CVSTGUITimer* timer {nullptr};
	bool registered {false};
};

} // namespace

Steinberg::FIDString EditorPlatform::windowType () { return Steinberg::kPlatformTypeHWND; }

void EditorPlatform::useFrames () { useWin32PlatformFrames (); }

double EditorPlatform::systemScale (void* parent)
{
	return scaleForDpi (windowDpi (static_cast<HWND> (parent)));
}

std::unique_ptr<EditorPlatform> EditorPlatform::connect (Steinberg::IPlugFrame*, void* parent)
{
	// Off-screen editors are idled by whoever renders them.
	if (!parent)
		return nullptr;
	auto result = std::make_unique<Win32EditorPlatform> ();
	if (!result->isValid ())
		return nullptr;
	return result;
}

} // namespace VSTGUI
