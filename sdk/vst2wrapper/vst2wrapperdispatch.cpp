// Vst2Wrapper: the answers to the VST 2 host's dispatcher opcodes.
#include "vst2wrapper.h"

#include "vst2audiobridge.h"
#include "vst2chunk.h"
#include "vst2editorbridge.h"
#include "vst2text.h"

#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/common/textconvert.h"

#include <cstring>
#include <utility>
#include <vector>

namespace Steinberg {
namespace Vst {

VstIntPtr Vst2Wrapper::dispatch (int32 opcode, int32 index, VstIntPtr value, void* ptr, float opt)
{
	switch (opcode)
	{
		case effOpen:
		case effClose: // the AEffect callback destroys the wrapper
			return 0;

		case effSetProgram:
		case effGetProgram: return 0;
		case effGetProgramName:
			Vst2Text::copy (static_cast<char*> (ptr), "Default", Vst2Abi::kProgramNameSize);
			return 0;
		case effGetProgramNameIndexed:
			if (index != 0)
				return 0;
			Vst2Text::copy (static_cast<char*> (ptr), "Default", Vst2Abi::kProgramNameSize);
			return 1;

		case effGetParamLabel:
		case effGetParamDisplay:
		case effGetParamName:
			writeParameterText (opcode, index, static_cast<char*> (ptr));
			return 0;
		case effCanBeAutomated:
			return index >= 0 && index < static_cast<int32> (parameters.size ()) &&
			       (parameters[index].flags & ParameterInfo::kCanAutomate) != 0;
		case effString2Parameter: return stringToParameter (index, static_cast<const char*> (ptr));

		case effSetSampleRate: setSampleRate (opt); return 0;
		case effSetBlockSize:
			setBlockSize (value > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32> (value));
			return 0;
		case effMainsChanged:
			if (value != 0)
				resume ();
			else
				suspend ();
			return 0;

		case effEditGetRect: return editor->getRect (static_cast<ERect**> (ptr)) ? 1 : 0;
		case effEditOpen:
			// The editor shows the controller's values when it opens: they are brought up to date.
			handOverToController ();
			return editor->open (ptr) ? 1 : 0;
		case effEditClose: editor->close (); return editor->isAvailable () ? 1 : 0;
		case effEditIdle:
			handOverToController ();
			editor->idle ();
			return 0;

		case effGetChunk: return getChunk (static_cast<void**> (ptr));
		case effSetChunk: return setChunk (ptr, value);

		case effGetPlugCategory: return getPlugCategory ();
		case effGetEffectName:
			Vst2Text::copy (static_cast<char*> (ptr), effectName.c_str (),
			                Vst2Abi::kEffectNameSize);
			return 1;
		case effGetVendorString:
			Vst2Text::copy (static_cast<char*> (ptr), vendorName.c_str (),
			                Vst2Abi::kVendorStringSize);
			return 1;
		case effGetProductString:
			Vst2Text::copy (static_cast<char*> (ptr), effectName.c_str (),
			                Vst2Abi::kProductStringSize);
			return 1;
		case effGetVendorVersion: return vendorVersion;
		case effCanDo: return canDo (static_cast<const char*> (ptr));
		case effGetVstVersion: return kVstVersion;
		case Vst2Abi::kEffSetBypass: return setBypass (value != 0);
		case Vst2Abi::kEffGetTailSize:
		{
			const uint32 tail = processor->getTailSamples ();
			return tail > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<VstIntPtr> (tail);
		}
		default: return 0;
	}
}

void Vst2Wrapper::writeParameterText (int32 opcode, int32 index, char* text)
{
	if (text == nullptr)
		return;
	if (index < 0 || index >= static_cast<int32> (parameters.size ()))
	{
		text[0] = 0;
		return;
	}
	const ParameterInfo& info = parameters[index];
	if (opcode == effGetParamName)
		Vst2Text::copy (text, info.title, Vst2Abi::kParamNameSize);
	else if (opcode == effGetParamLabel)
		Vst2Text::copy (text, info.units, Vst2Abi::kParamLabelSize);
	else
	{
		// The value the host sees, which may not have reached the controller yet.
		String128 display {};
		const ParamValue value = values->get (index);
		if (controller->getParamStringByValue (info.id, value, display) != kResultOk)
			display[0] = 0;
		display[127] = 0;
		Vst2Text::copyValue (text, display, Vst2Abi::kParamDisplaySize);
	}
}

VstIntPtr Vst2Wrapper::stringToParameter (int32 index, const char* text)
{
	if (index < 0 || index >= static_cast<int32> (parameters.size ()))
		return 0;
	if (text == nullptr)
		return 1;
	String128 string {};
	utf8ToUtf16 (string, 128, text);
	ParamValue value = 0.;
	if (controller->getParamValueByString (parameterIds[index], string, value) != kResultOk)
		return 0;
	setParameter (index, static_cast<float> (value));
	return 1;
}

VstIntPtr Vst2Wrapper::canDo (const char* text) const
{
	if (text == nullptr)
		return 0;
	if (std::strcmp (text, "bypass") == 0)
		return bypassIndex >= 0 ? 1 : 0;
	return 0;
}

VstIntPtr Vst2Wrapper::setBypass (bool state)
{
	if (bypassIndex < 0)
		return 0;
	setParameter (bypassIndex, state ? 1.f : 0.f);
	return 1;
}

VstIntPtr Vst2Wrapper::getPlugCategory () const
{
	auto startsWith = [this] (const char* prefix) {
		return subCategories.compare (0, std::strlen (prefix), prefix) == 0;
	};
	if (startsWith ("Instrument"))
		return kPlugCategSynth;
	if (startsWith ("Generator"))
		return kPlugCategGenerator;
	if (startsWith ("Fx|Analyzer"))
		return kPlugCategAnalysis;
	if (startsWith ("Fx|Mastering"))
		return kPlugCategMastering;
	if (startsWith ("Fx|Restoration"))
		return kPlugCategRestoration;
	if (startsWith ("Fx|Reverb"))
		return kPlugCategRoomFx;
	if (startsWith ("Fx|Spatial"))
		return kPlugCategSpacializer;
	if (startsWith ("Fx"))
		return kPlugCategEffect;
	return kPlugCategUnknown;
}

//------------------------------------------------------------------------
VstIntPtr Vst2Wrapper::getChunk (void** data)
{
	if (data == nullptr)
		return 0;
	*data = nullptr;
	std::lock_guard<std::mutex> lock (chunkMutex);
	MemoryStream processorState;
	if (component->getState (&processorState) != kResultOk)
		return 0;
	MemoryStream controllerState;
	if (!controllerIsComponent && controller->getState (&controllerState) != kResultOk)
		controllerState.setSize (0);
	const auto processorSize = static_cast<size_t> (processorState.getSize ());
	const auto controllerSize = static_cast<size_t> (controllerState.getSize ());
	Vst2Chunk::compose (processorState.getData (), processorSize, controllerState.getData (),
	                    controllerSize, chunk);
	*data = chunk.data ();
	return static_cast<VstIntPtr> (chunk.size ());
}

VstIntPtr Vst2Wrapper::setChunk (const void* data, VstIntPtr size)
{
	Vst2Chunk::Parts parts;
	if (!Vst2Chunk::parse (data, static_cast<int64> (size), parts))
		return 0;
	std::lock_guard<std::mutex> lock (chunkMutex);
	// Values the host set before the chunk must not overwrite it: they are taken out of the
	// processor's and the controller's way, and a block that took some already ends before the
	// state is set.
	std::vector<std::pair<int32, ParamValue>> queued;
	for (int32 i = 0; i < slots->getCount (); ++i)
	{
		ParamValue value = 0.;
		if (slots->take (i, value))
			queued.emplace_back (i, value);
	}
	waitForBlockInProgress ();
	// The streams only read; MemoryStream takes a non-const pointer.
	MemoryStream processorState (const_cast<uint8*> (parts.processorState), parts.processorSize);
	if (component->setState (&processorState) != kResultOk)
	{
		// Refused: nothing changes, and the values still reach the processor.
		for (const auto& q : queued)
			slots->post (q.first, q.second);
		return 0;
	}
	controllerSlots->clear ();
	// The controller takes the states on this thread (a worker, perhaps): what it shows in the
	// editor waits for the editor's own thread.
	processorState.seek (0, IBStream::kIBSeekSet, nullptr);
	controller->setComponentState (&processorState);
	readValuesFromController ();
	if (!controllerIsComponent && parts.controllerSize > 0)
	{
		MemoryStream controllerState (const_cast<uint8*> (parts.controllerState),
		                              parts.controllerSize);
		if (controller->setState (&controllerState) != kResultOk)
			return 0;
	}
	return 1;
}

} // namespace Vst
} // namespace Steinberg
