// The processor's setState fed arbitrary bytes, while inactive or while processing.
//
// Input: one mode byte (bit 0: the stream reports short reads as success; bit 1: load while the
// processor is active), then the stream's bytes.
#include "fuzzcheck.h"
#include "fuzzplugin.h"

using namespace Steinberg;
using namespace Quorvane::Fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool lenient = data[0] & 1;
    const bool whileActive = data[0] & 2;

    ProcessorHandle processor;
    if (whileActive)
    {
        Vst::ProcessSetup setup{Vst::kRealtime, Vst::kSample32, 128, 44100.0};
        processor->setupProcessing(setup);
        processor->setActive(true);
    }

    BoundedStream stream(data + 1, size - 1, lenient);
    const tresult result = processor->setState(&stream);
    check(stream.furthestRead() <= kProcessorStateSize, "processor read past its 68 bytes");
    if (!lenient && stream.size() < kProcessorStateSize)
        check(result != kResultOk, "processor accepted a truncated state");

    if (whileActive)
    {
        // The handed-over state is what the host reads back, before and after a block takes it.
        const auto before = processorState(*processor);
        Vst::ProcessData flush;
        processor->process(flush);
        check(processorState(*processor) == before, "state changed when the audio thread took it");
        processor->setActive(false);
    }
    checkProcessorState(*processor);
    checkRendersFinite(*processor);
    return 0;
}
