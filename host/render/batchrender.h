// `quorvane render IN... --out-dir DIR`: many files on all cores, one
// plug-in instance per worker thread, one progress bar for all of them.
#pragma once

#include "commands/commandline.h"

namespace Quorvane
{

// Renders every input into the output folder under its own name. A file
// that fails is reported and the others go on; returns 0 when every file
// was written, else the exit status of the first input that failed.
int runBatchRender(const Options& options);

} // namespace Quorvane
