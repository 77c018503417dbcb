// Editors of a controller opened (off-screen, as if attached to host windows) and closed while
// other work goes on.
#pragma once

#include <cstddef>
#include <vector>

namespace Steinberg::Vst {
class EditorView;
}
namespace Quorvane {
class againController;
}

namespace QuorvaneTest {

class EditorChurn
{
public:
    explicit EditorChurn(Quorvane::againController* controller) : controller(controller) {}
    ~EditorChurn() { closeAll(); }

    // Asks the controller for one more editor and attaches it; false when that fails.
    bool openOne();
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
    std::vector<Steinberg::Vst::EditorView*> open;
    long openedSoFar = 0;
};

} // namespace QuorvaneTest
