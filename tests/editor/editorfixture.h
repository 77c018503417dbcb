// A controller with editors opened off-screen, and a component handler that records what the
// editor tells the host.
#pragma once

#include "againcontroller.h"
#include "againeditorview.h"
#include "knobmodeguard.h"
#include "paramids.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "vstgui/cframe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace QuorvaneTest
{

class RecordingHandler : public Steinberg::Vst::IComponentHandler
{
public:
    std::vector<std::string> calls;

    Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override
    {
        calls.push_back("begin " + std::to_string(id));
        return Steinberg::kResultOk;
    }
    Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                              Steinberg::Vst::ParamValue v) override
    {
        calls.push_back("perform " + std::to_string(id) + " " + std::to_string(v));
        return Steinberg::kResultOk;
    }
    Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override
    {
        calls.push_back("end " + std::to_string(id));
        return Steinberg::kResultOk;
    }
    Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32) override
    {
        return Steinberg::kResultOk;
    }
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override
    {
        if (Steinberg::FUnknownPrivate::iidEqual(iid, Steinberg::Vst::IComponentHandler::iid) ||
            Steinberg::FUnknownPrivate::iidEqual(iid, Steinberg::FUnknown::iid))
        {
            *obj = this;
            return Steinberg::kResultOk;
        }
        *obj = nullptr;
        return Steinberg::kNoInterface;
    }
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }
};

class EditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(Steinberg::Vst::EditController::getHostKnobMode(), Steinberg::Vst::kCircularMode)
            << "a test before this one left the process-wide knob mode changed";
        controller = new Quorvane::againController;
        ASSERT_EQ(controller->initialize(&host), Steinberg::kResultOk);
        controller->setComponentHandler(&handler);
    }
    void TearDown() override
    {
        // A test that skipped before SetUp (no display, say) has nothing to tear down.
        if (!controller)
            return;
        for (auto* e : editors)
        {
            e->removed();
            e->release();
        }
        controller->terminate();
        controller->release();
    }

    // An editor attached the way a host attaches it, drawing off-screen.
    Quorvane::againEditorView* openEditor()
    {
        auto* view = static_cast<Quorvane::againEditorView*>(controller->createView("editor"));
        EXPECT_NE(view, nullptr);
        EXPECT_EQ(view->openOffscreen(), Steinberg::kResultOk);
        editors.push_back(view);
        return view;
    }

    KnobModeGuard knobMode; // tests may change the host's knob mode; it is restored after each
    Steinberg::Vst::HostApplication host;
    RecordingHandler handler;
    Quorvane::againController* controller = nullptr;
    std::vector<Quorvane::againEditorView*> editors;
};

} // namespace QuorvaneTest
