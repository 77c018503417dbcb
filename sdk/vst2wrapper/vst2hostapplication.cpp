#include "vst2hostapplication.h"

#include "public.sdk/source/common/textconvert.h"

#include <cstring>

namespace Steinberg {
namespace Vst {

Vst2HostApplication::Vst2HostApplication (const char8* name) { setName (name); }

void Vst2HostApplication::setName (const char8* name)
{
	const char8* text = (name != nullptr && name[0] != 0) ? name : "VST 2 Host";
	utf8ToUtf16 (hostName, 128, text);
}

tresult PLUGIN_API Vst2HostApplication::getName (String128 name)
{
	if (name == nullptr)
		return kInvalidArgument;
	std::memcpy (name, hostName, sizeof (hostName));
	return kResultTrue;
}

} // namespace Vst
} // namespace Steinberg
