// The LV2 UI entry point: the VST 3 controller's editor, presented as the bundle's X11 UI by the
// LV2 wrapper. It serves all four plug-ins: their control ports are the same.
#include "againcontroller.h"
#include "lv2ports.h"
#include "lv2ui.h"

#include <lv2/ui/ui.h>

#include <cstring>

namespace
{

using Steinberg::Vst::Lv2Ui;

Lv2Ui* uiOf(LV2UI_Handle handle)
{
    return static_cast<Lv2Ui*>(handle);
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    const Quorvane::Lv2Variant* variant = nullptr;
    for (const Quorvane::Lv2Variant& v : Quorvane::kLv2Variants)
        if (pluginUri && std::strcmp(pluginUri, v.uri) == 0)
            variant = &v;
    if (!variant)
        return nullptr;
    Steinberg::IPtr<Steinberg::Vst::IEditController> editController = Steinberg::owned(
        static_cast<Steinberg::Vst::IEditController*>(new Quorvane::againController));
    return Lv2Ui::create(editController, Quorvane::lv2PortLayout(*variant), write, controller,
                         features, widget);
}

void cleanup(LV2UI_Handle handle)
{
    delete uiOf(handle);
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer)
{
    uiOf(handle)->portEvent(port, size, format, buffer);
}

int idle(LV2UI_Handle handle)
{
    return uiOf(handle)->idle();
}

const LV2UI_Idle_Interface kIdleInterface = {idle};

const void* extensionData(const char* uri)
{
    return std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &kIdleInterface : nullptr;
}

const LV2UI_Descriptor kDescriptor = {Quorvane::kLv2UiUri, instantiate, cleanup, portEvent,
                                      extensionData};

} // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
    return index == 0 ? &kDescriptor : nullptr;
}
