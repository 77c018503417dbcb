#include "lv2ui.h"

#include "lv2uiwindow.h"
#include "vst2plugframe.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <cstring>
#include <string_view>

namespace Steinberg {
namespace Vst {

namespace {

const void* findFeature (const LV2_Feature* const* features, const char* uri)
{
	for (; features && *features; ++features)
		if (std::string_view ((*features)->URI) == uri)
			return (*features)->data;
	return nullptr;
}

} // namespace

/** The view's frame: the run loop the idle callback serves (the VST 2 wrapper's, which an
    idle-driven host needs just as well), with resize requests passed to ui:resize. */
class Lv2UiFrame : public Vst2PlugFrame
{
public:
	explicit Lv2UiFrame (const LV2UI_Resize* resize)
	: Vst2PlugFrame (nullptr, nullptr), resize (resize)
	{
	}

	tresult PLUGIN_API resizeView (IPlugView* view, ViewRect* newSize) SMTG_OVERRIDE
	{
		if (view == nullptr || newSize == nullptr)
			return kInvalidArgument;
		if (!resize ||
		    resize->ui_resize (resize->handle, newSize->getWidth (), newSize->getHeight ()) != 0)
			return kResultFalse;
		view->onSize (newSize);
		return kResultTrue;
	}

private:
	const LV2UI_Resize* resize;
};

/** The controller's component handler: the view's edits go to the host as port writes. */
class Lv2UiEditHandler : public IComponentHandler
{
public:
	explicit Lv2UiEditHandler (Lv2Ui& ui) : ui (ui) {}
	virtual ~Lv2UiEditHandler () = default;

	tresult PLUGIN_API beginEdit (ParamID id) SMTG_OVERRIDE
	{
		ui.touchPort (id, true);
		return kResultOk;
	}
	tresult PLUGIN_API performEdit (ParamID id, ParamValue valueNormalized) SMTG_OVERRIDE
	{
		ui.writePort (id, valueNormalized);
		return kResultOk;
	}
	tresult PLUGIN_API endEdit (ParamID id) SMTG_OVERRIDE
	{
		ui.touchPort (id, false);
		return kResultOk;
	}
	tresult PLUGIN_API restartComponent (int32) SMTG_OVERRIDE { return kResultOk; }

	tresult PLUGIN_API queryInterface (const TUID _iid, void** obj) SMTG_OVERRIDE
	{
		QUERY_INTERFACE (_iid, obj, FUnknown::iid, IComponentHandler)
		QUERY_INTERFACE (_iid, obj, IComponentHandler::iid, IComponentHandler)
		*obj = nullptr;
		return kNoInterface;
	}
	uint32 PLUGIN_API addRef () SMTG_OVERRIDE { return ++refCount; }
	uint32 PLUGIN_API release () SMTG_OVERRIDE
	{
		const uint32 count = --refCount;
		if (count == 0)
			delete this;
		return count;
	}

private:
	Lv2Ui& ui;
	uint32 refCount {1};
};

Lv2Ui* Lv2Ui::create (IEditController* controller, const Lv2PortLayout& layout,
                      LV2UI_Write_Function write, LV2UI_Controller host,
                      const LV2_Feature* const* features, LV2UI_Widget* widget)
{
	void* parent = const_cast<void*> (findFeature (features, LV2_UI__parent));
	if (!controller || !write || !parent)
		return nullptr;
	auto* ui = new Lv2Ui (controller, layout, write, host);
	if (!ui->open (parent, features, widget))
	{
		delete ui;
		return nullptr;
	}
	return ui;
}

Lv2Ui::Lv2Ui (IEditController* c, const Lv2PortLayout& l, LV2UI_Write_Function w,
              LV2UI_Controller h)
: controller (c), layout (l), write (w), host (h)
{
}

bool Lv2Ui::open (void* parent, const LV2_Feature* const* features, LV2UI_Widget* widget)
{
	if (controller->initialize (nullptr) != kResultOk)
		return false;
	touch = static_cast<LV2UI_Touch*> (const_cast<void*> (findFeature (features, LV2_UI__touch)));
	editHandler = owned (new Lv2UiEditHandler (*this));
	controller->setComponentHandler (editHandler);
	frame = owned (
	    new Lv2UiFrame (static_cast<const LV2UI_Resize*> (findFeature (features, LV2_UI__resize))));
	view = owned (controller->createView (ViewType::kEditor));
	if (!view || view->isPlatformTypeSupported (kPlatformTypeX11EmbedWindowID) != kResultTrue)
		return false;
	view->setFrame (frame);
	if (view->attached (parent, kPlatformTypeX11EmbedWindowID) != kResultTrue)
	{
		view->setFrame (nullptr);
		view = nullptr;
		return false;
	}
	ViewRect size;
	if (view->getSize (&size) == kResultTrue)
		if (auto* resize =
		        static_cast<const LV2UI_Resize*> (findFeature (features, LV2_UI__resize)))
			resize->ui_resize (resize->handle, size.getWidth (), size.getHeight ());
	*widget = reinterpret_cast<LV2UI_Widget> (Lv2UiWindow::newestChild (parent));
	return true;
}

Lv2Ui::~Lv2Ui ()
{
	if (view)
	{
		view->removed ();
		view->setFrame (nullptr);
		view = nullptr;
	}
	if (frame)
		frame->clear ();
	controller->setComponentHandler (nullptr);
	controller->terminate ();
}

int32 Lv2Ui::portOf (ParamID id) const
{
	for (uint32 i = 0; i < layout.numControls; ++i)
		if (layout.controls[i].id == id)
			return int32 (i);
	return -1;
}

void Lv2Ui::portEvent (uint32 port, uint32 size, uint32 format, const void* buffer)
{
	if (port >= layout.numControls || format != 0 || size != sizeof (float) || !buffer)
		return;
	const ParamID id = layout.controls[port].id;
	ParamValue normalized = 0.;
	if (layout.values->toNormalized (id, *static_cast<const float*> (buffer), normalized))
		controller->setParamNormalized (id, normalized);
}

int Lv2Ui::idle ()
{
	frame->runOnce ();
	return 0;
}

void Lv2Ui::writePort (ParamID id, ParamValue normalized)
{
	const int32 port = portOf (id);
	if (port < 0 || layout.controls[port].output)
		return;
	const float value = layout.values->toPlain (id, normalized);
	write (host, uint32 (port), sizeof (float), 0, &value);
}

void Lv2Ui::touchPort (ParamID id, bool grabbed)
{
	const int32 port = portOf (id);
	if (touch && port >= 0 && !layout.controls[port].output)
		touch->touch (touch->handle, uint32 (port), grabbed);
}

} // namespace Vst
} // namespace Steinberg
