// A .vstpreset file read the way the command-line host reads one: the chunk list and class are
// checked, then the file's processor state goes to the processor and the controller, and its
// controller state to the controller.
//
// Input: the file's bytes.
#include "fuzzcheck.h"
#include "fuzzplugin.h"

#include "classids.h"

#include "public.sdk/source/vst/vstpresetfile.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Quorvane::Fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    BoundedStream file(data, size, true);
    {
        PresetFile reader(&file);
        if (!reader.readChunkList())
            return 0;
        if (reader.getClassID() != Quorvane::kProcessorUID || !reader.contains(kComponentState))
            return 0;
    }
    check(file.seek(0, IBStream::kIBSeekSet, nullptr) == kResultOk, "cannot rewind the file");

    ProcessorHandle processor;
    ControllerHandle controller;
    PresetFile::loadPreset(&file, Quorvane::kProcessorUID, &*processor, &*controller);

    checkProcessorState(*processor);
    checkControllerState(*controller);
    checkRendersFinite(*processor);
    return 0;
}
