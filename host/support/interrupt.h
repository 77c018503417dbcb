// Ctrl-C during a render stops it cleanly, so temporary files are removed.
#pragma once

namespace Quorvane
{

void installInterruptHandler();
bool interruptRequested();

} // namespace Quorvane
