#pragma once
// GDI+ is started when its first user appears and shut down after its last one is gone: every
// image and every frame window holds a use. Never from DllMain (GDI+ forbids it there), always on
// the UI thread.

namespace VSTGUI {
namespace GdiplusSession {

void acquire ();
void release ();
/** How many users GDI+ has now (0: shut down). */
int users ();

} // namespace GdiplusSession
} // namespace VSTGUI
