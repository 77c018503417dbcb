#include "editorpicture.h"

#include "againcontroller.h"
#include "againeditorview.h"
#include "paramids.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "vstgui/cdrawcontext.h"
#include "vstgui/cframe.h"
#include "vstgui/cvstguitimer.h"

#include <cairo.h>
#include <cmath>

namespace Quorvane
{

namespace
{

// Draws the frame's views into a new surface SCALE times its size: shapes
// and text are drawn at the larger size, the bitmaps scaled smoothly.
bool writeScaled(VSTGUI::CFrame& frame, const std::string& path, double scale)
{
    const VSTGUI::CRect size = frame.getViewSize();
    const int width = static_cast<int>(std::lround(size.getWidth() * scale));
    const int height = static_cast<int>(std::lround(size.getHeight() * scale));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    {
        VSTGUI::CDrawContext context(cr);
        frame.draw(&context);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS &&
              cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

} // namespace

bool writeEditorPicture(const std::string& path, double scale)
{
    Steinberg::Vst::HostApplication host;
    auto* controller = new againController;
    controller->initialize(&host);
    auto* editor = static_cast<againEditorView*>(controller->createView("editor"));
    bool ok = editor && editor->openOffscreen() == Steinberg::kResultOk;
    if (ok)
    {
        // A gate held open by a signal peaking around -12 dB.
        controller->setParamNormalized(kMaxVuId, 1.0 - 12.0 / 76.0);
        controller->setParamNormalized(kMinVuId, 1.0 - 30.0 / 76.0);
        controller->setParamNormalized(kMaxGateId, 1.0);
        controller->setParamNormalized(kMinGateId, 1.0);
        editor->getIdleTimer()->fire();
        ok = scale == 1.0 ? editor->getFrame()->writePNG(path.c_str())
                          : writeScaled(*editor->getFrame(), path, scale);
        editor->removed();
    }
    if (editor)
        editor->release();
    controller->terminate();
    controller->release();
    return ok;
}

} // namespace Quorvane
