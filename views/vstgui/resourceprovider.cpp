#include "vstgui/resourceprovider.h"

namespace VSTGUI {

namespace {
ResourceProvider gProvider = nullptr;
}

void setResourceProvider (ResourceProvider provider) { gProvider = provider; }
ResourceProvider getResourceProvider () { return gProvider; }

} // namespace VSTGUI
