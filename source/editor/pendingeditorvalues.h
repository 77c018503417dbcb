// What an editor asks of its controller on every tick of its timer: values that reached the
// controller on a thread other than the editors' own wait there until the editors' thread shows
// them.
#pragma once

namespace Quorvane
{

class PendingEditorValues
{
public:
    // Shows every waiting value in every open editor. Called on the editors' thread only.
    virtual void showPendingValues() = 0;

protected:
    ~PendingEditorValues() = default;
};

} // namespace Quorvane
