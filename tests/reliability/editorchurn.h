// Editors of a controller opened (in a host's window, or off-screen as if attached to one) and
// closed while other work goes on.
#pragma once

#include <cstddef>
#include <vector>

namespace Steinberg::Vst
{
class EditorView;
}
namespace Quorvane
{
class againController;
}

namespace QuorvaneTest
{

class EditorChurn
{
public:
    // Without a parent window (the platform's kind) the editors open off-screen.
    explicit EditorChurn(Quorvane::againController* controller, void* parent = nullptr)
        : controller(controller), parent(parent)
    {
    }
    ~EditorChurn() { closeAll(); }

    // Asks the controller for one more editor and attaches it; false when that fails.
    bool openOne();
    // What a host without a run loop does for its open editors: their events and timers.
    void idleAll();
    void closeOldest();
    void closeAll()
    {
        while (!open.empty())
            closeOldest();
    }
    std::size_t openCount() const { return open.size(); }
    long openings() const { return openedSoFar; }

private:
    Quorvane::againController* controller;
    void* parent;
    std::vector<Steinberg::Vst::EditorView*> open;
    long openedSoFar = 0;
};

} // namespace QuorvaneTest
