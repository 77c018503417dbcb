// The host context the wrapper hands to the wrapped component and
// controller: it answers the name of the VST 2 host and creates messages
// and attribute lists, as any VST 3 host does.
#pragma once

#include "public.sdk/source/vst/hosting/hostclasses.h"

namespace Steinberg {
namespace Vst {

class Vst2HostApplication : public HostApplication
{
public:
	/** name: UTF-8, the VST 2 host's product name (null or empty gives
	    "VST 2 Host"). */
	explicit Vst2HostApplication (const char8* name);

	/** Replaces the name (same rules as the constructor's). */
	void setName (const char8* name);

	tresult PLUGIN_API getName (String128 name) SMTG_OVERRIDE;

private:
	String128 hostName {};
};

} // namespace Vst
} // namespace Steinberg
