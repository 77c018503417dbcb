// A PNG picture of a render: input and output levels over time with the
// gate's gain drawn over them, drawn with cairo.
#pragma once

#include "rendertrace.h"

#include <string>

namespace Quorvane
{

// Throws HostError (kExitOutput) when the file cannot be written.
void drawPlot(const RenderTrace& trace, const std::string& file, const std::string& title);

} // namespace Quorvane
