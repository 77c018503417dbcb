// How a VST 3 plug-in appears to an LV2 host: its parameters as control ports first, in the
// order given, then its audio ports (main inputs, side-chain inputs, outputs). A control port
// carries the value the user reads (dB, ms...), which the plug-in's own conversions turn into
// the normalized value its processor takes, and back for the output ports.
#pragma once

#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg {
namespace Vst {

struct Lv2ControlPort
{
	ParamID id;
	bool output; // a read-only parameter the processor reports (a meter)
};

class Lv2PortValues
{
public:
	virtual ~Lv2PortValues () = default;
	/** The normalized value for an input port's value; false (normalized untouched) for a
	    value the parameter does not take, which is then ignored. */
	virtual bool toNormalized (ParamID id, float plain, ParamValue& normalized) const = 0;
	/** The port value of a normalized value; finite and within the port's range. */
	virtual float toPlain (ParamID id, ParamValue normalized) const = 0;
};

struct Lv2PortLayout
{
	const Lv2ControlPort* controls;
	uint32 numControls;
	int32 mainChannels;      // as many audio inputs as outputs
	int32 sideChainChannels; // audio inputs after the main ones, 0 for none
	const Lv2PortValues* values;
	const char* stateKey; // the URI the processor's state is stored under
};

} // namespace Vst
} // namespace Steinberg
