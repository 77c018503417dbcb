// The plug-in's two classes set up as a host sets them up, and the checks every target runs on
// them after feeding them fuzzed input.
#pragma once

#include "again.h"
#include "againcontroller.h"

#include <cstdint>
#include <vector>

namespace Quorvane::Fuzz
{

// A processor created and initialized with a host context; terminated and released on exit.
class ProcessorHandle
{
public:
    ProcessorHandle();
    ~ProcessorHandle();
    ProcessorHandle(const ProcessorHandle&) = delete;
    ProcessorHandle& operator=(const ProcessorHandle&) = delete;

    again* operator->() const { return processor; }
    again& operator*() const { return *processor; }

private:
    again* processor;
};

class ControllerHandle
{
public:
    ControllerHandle();
    ~ControllerHandle();
    ControllerHandle(const ControllerHandle&) = delete;
    ControllerHandle& operator=(const ControllerHandle&) = delete;

    againController* operator->() const { return controller; }
    againController& operator*() const { return *controller; }

private:
    againController* controller;
};

// getState's bytes; aborts unless the call succeeds.
std::vector<uint8_t> processorState(again& processor);
std::vector<uint8_t> controllerState(againController& controller);

// The processor's state is 68 bytes and reads back into itself unchanged; aborts otherwise.
void checkProcessorState(again& processor);
// The controller's state is 257 bytes and reads back unchanged, and every parameter holds a
// finite normalized value within 0..1; aborts otherwise.
void checkControllerState(againController& controller);

// Activates the processor at 48 kHz, runs a few blocks of finite stereo noise with and without
// the side chain, aborts on a non-finite output sample, and deactivates it again.
void checkRendersFinite(again& processor);

} // namespace Quorvane::Fuzz
