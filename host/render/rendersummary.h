// What `quorvane render` tells its user about a rendered file.
#pragma once

#include "filerender.h"

#include <string>

namespace Quorvane
{

// The several-line summary of a single render, on standard output.
void printSummary(const RenderedFile& rendered, const std::string& in, const std::string& out,
                  int blockSize);

// One line for a file of a batch: length, speed and how long the gate was open.
std::string oneLineSummary(const RenderedFile& rendered);

// The last part of PATH.
std::string fileName(const std::string& path);

// A length in seconds with two decimals: "2.50 s".
std::string secondsText(int64_t frames, int rate);

} // namespace Quorvane
