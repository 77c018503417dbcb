#include "againeditorview.h"

#include "paramids.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace Quorvane {

againEditorView::againEditorView(EditController* controller) : EditorView(controller) {}

IPlugView* againEditorView::create(EditController* /*controller*/)
{
    return nullptr;
}

void againEditorView::updateParameter(ParamID tag, ParamValue value)
{
    if (tag >= kMaxVuId && tag <= kSideChainMonitorId)
        meterPending[tag - kMaxVuId] = float(value);
}

} // namespace Quorvane
