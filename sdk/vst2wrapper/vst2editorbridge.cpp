#include "vst2editorbridge.h"

#include "vst2editorplatform.h"
#include "vst2plugframe.h"

#include <limits>

namespace Steinberg {
namespace Vst {

namespace {

short toShort (int32 value)
{
	if (value > std::numeric_limits<short>::max ())
		return std::numeric_limits<short>::max ();
	if (value < std::numeric_limits<short>::min ())
		return std::numeric_limits<short>::min ();
	return static_cast<short> (value);
}

} // namespace

Vst2EditorBridge::Vst2EditorBridge (IEditController& controller, AEffect* effect,
                                    audioMasterCallback audioMaster)
: controller (controller)
{
	plugFrame = new Vst2PlugFrame (effect, audioMaster);
	frame = owned (static_cast<IPlugFrame*> (plugFrame));
	if (ensureView ())
		available = true;
	view = nullptr;
}

Vst2EditorBridge::~Vst2EditorBridge () { close (); }

bool Vst2EditorBridge::ensureView ()
{
	if (view)
		return true;
	IPlugView* created = controller.createView (ViewType::kEditor);
	if (created == nullptr)
		return false;
	view = owned (created);
	if (view->isPlatformTypeSupported (Vst2EditorPlatform::windowType ()) != kResultTrue)
	{
		view = nullptr;
		return false;
	}
	return true;
}

bool Vst2EditorBridge::getRect (ERect** result)
{
	if (result == nullptr || !available || !ensureView ())
		return false;
	ViewRect size;
	if (view->getSize (&size) != kResultTrue)
		return false;
	rect.top = 0;
	rect.left = 0;
	rect.bottom = toShort (size.getHeight ());
	rect.right = toShort (size.getWidth ());
	*result = &rect;
	return true;
}

bool Vst2EditorBridge::open (void* parent)
{
	if (!available || parent == nullptr)
		return false;
	if (attached)
		close ();
	if (!ensureView ())
		return false;
	view->setFrame (frame);
	if (view->attached (parent, Vst2EditorPlatform::windowType ()) != kResultTrue)
	{
		view->setFrame (nullptr);
		view = nullptr;
		plugFrame->clear ();
		return false;
	}
	attached = true;
	return true;
}

void Vst2EditorBridge::idle ()
{
	if (attached)
		plugFrame->runOnce ();
}

void Vst2EditorBridge::close ()
{
	if (view)
	{
		if (attached)
			view->removed ();
		view->setFrame (nullptr);
	}
	attached = false;
	view = nullptr;
	plugFrame->clear ();
}

} // namespace Vst
} // namespace Steinberg
