#include "parentwindow.h"

namespace QuorvaneTest
{

// The Windows editor has window tests of its own (tests/win): here editors open off-screen.
ParentWindow::ParentWindow() = default;
ParentWindow::~ParentWindow() = default;
void* ParentWindow::handle() const
{
    return nullptr;
}
void ParentWindow::destroy() {}

} // namespace QuorvaneTest
