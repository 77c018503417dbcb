// The editor tests' fixture: the host tests' scratch folder and bundle, plus the X display.
#pragma once

#include "hosttestfixture.h"

#include <cstdlib>

namespace QuorvaneTest
{

class EditorTest : public HostTest
{
protected:
    static bool haveDisplay()
    {
        const char* display = std::getenv("DISPLAY");
        return display && *display;
    }
};

} // namespace QuorvaneTest
