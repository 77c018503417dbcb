// The commands of `quorvane`; each returns the process exit status and
// reports failures by throwing HostError.
#pragma once

#include "commandline.h"

namespace Quorvane
{

int runRender(const Options& options);
int runParams(const Options& options);
int runInfo(const Options& options);
int runDemo(const Options& options);
int runEditor(const Options& options);
int runPresets(const Options& options);
int runMakePresets(const Options& options);

} // namespace Quorvane
