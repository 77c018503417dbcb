// Where the host's own messages go. The plug-in writes diagnostic lines
// ("[againController] received: ...") to standard error; with --quiet the
// host points descriptor 2 at /dev/null, so whatever the plug-in writes is
// dropped, and keeps its own messages on a saved copy of the terminal's
// descriptor.
#pragma once

#include <cstdio>

namespace Quorvane
{

// Sends descriptor 2 to /dev/null for the rest of the process. Call it once,
// before any plug-in is loaded and before any thread starts.
void silencePluginDiagnostics();

// The stream for the host's error messages and notes: standard error, or
// its saved copy once the plug-in's diagnostics are silenced.
FILE* hostMessages();

} // namespace Quorvane
