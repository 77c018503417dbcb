// The C library functions the gate's coefficient design and parameter mappings call, over the
// inputs they are called with. Each result is one line "function input-bits output-bits", so two
// systems' lists compare line by line and name the calls on which their libraries differ.
#pragma once

#include <string>

namespace QuorvaneTest
{

std::string probeMathLibrary();

// Compares two probe lists; describes, per function, how many results differ and the first one.
// Empty when they are identical.
std::string compareMathProbes(const std::string& ours, const std::string& theirs);

} // namespace QuorvaneTest
