// The component handler the wrapper gives to the wrapped controller: it
// turns the controller's edits into VST 2 host automation calls.
#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace Steinberg {
namespace Vst {

/** What the handler reports to; the wrapper implements it. */
class Vst2EditSink
{
public:
	virtual ~Vst2EditSink () = default;
	virtual tresult onBeginEdit (ParamID id) = 0;
	virtual tresult onPerformEdit (ParamID id, ParamValue valueNormalized) = 0;
	virtual tresult onEndEdit (ParamID id) = 0;
	virtual tresult onRestartComponent (int32 flags) = 0;
};

class Vst2ComponentHandler : public FObject, public IComponentHandler
{
public:
	/** sink must outlive every call; detach() stops the forwarding. */
	explicit Vst2ComponentHandler (Vst2EditSink* sink) : sink (sink) {}

	void detach () { sink = nullptr; }

	tresult PLUGIN_API beginEdit (ParamID id) SMTG_OVERRIDE;
	tresult PLUGIN_API performEdit (ParamID id, ParamValue valueNormalized) SMTG_OVERRIDE;
	tresult PLUGIN_API endEdit (ParamID id) SMTG_OVERRIDE;
	tresult PLUGIN_API restartComponent (int32 flags) SMTG_OVERRIDE;

	OBJ_METHODS (Vst2ComponentHandler, FObject)
	DEFINE_INTERFACES
	DEF_INTERFACE (IComponentHandler)
	END_DEFINE_INTERFACES (FObject)
	REFCOUNT_METHODS (FObject)

private:
	Vst2EditSink* sink;
};

} // namespace Vst
} // namespace Steinberg
