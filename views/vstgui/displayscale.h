#pragma once
// Display scale: the editor keeps its layout in logical units and only its drawing and pointer
// input convert, by one factor (1 at 96 DPI). What a window system or a user may hand us as a
// factor is checked here once, for both back ends.

#include "vstgui/crect.h"

namespace VSTGUI {

/** The largest factor the views accept (beyond it a window of the editor's size is absurd). */
constexpr double kMaxScaleFactor = 8.0;

/** Whether `factor` is a factor the views can draw at (finite, above 0, at most the maximum). */
bool isUsableScaleFactor (double factor);

/** The factor a desktop's DPI stands for, rounded to a quarter and kept within 1…4 (a desktop
 *  that publishes less than 96 DPI still gets the editor at its designed size); 1 for a DPI
 *  that is no number above 0. */
double scaleForDpi (double dpi);

/** A factor written by a user ("1.5", "2"); 0 when the text is not a usable factor. */
double parseScaleFactor (const char* text);

/** The number of physical pixels `length` logical units take at `factor`. */
int scaledLength (CCoord length, double factor);

/** The physical pixels `rect` (logical) touches at `factor`, rounded outwards to whole pixels. */
CRect toPhysical (const CRect& rect, double factor);

} // namespace VSTGUI
