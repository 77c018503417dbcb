// A controller initialized with a host context, as every controller test starts.
#pragma once

#include "againcontroller.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <gtest/gtest.h>

class ControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        controller = new Quorvane::againController;
        ASSERT_EQ(controller->initialize(&host), Steinberg::kResultOk);
    }
    void TearDown() override
    {
        controller->terminate();
        controller->release();
    }
    Steinberg::Vst::HostApplication host;
    Quorvane::againController* controller = nullptr;
};
