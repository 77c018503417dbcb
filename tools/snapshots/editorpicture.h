// The editor drawn off-screen at a given scale, as it looks with its
// default values on a signal that holds the gate open.
#pragma once

#include <string>

namespace Quorvane
{

// Writes the picture to PATH as PNG; false when the editor cannot be drawn
// or the file cannot be written.
bool writeEditorPicture(const std::string& path, double scale);

} // namespace Quorvane
