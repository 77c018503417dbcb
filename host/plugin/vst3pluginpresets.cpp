// Presets of a VST 3 plug-in in the standard .vstpreset format: the
// processor's state ("Comp") and the controller's ("Cont").
#include "support/hosterror.h"
#include "support/temporaryfile.h"
#include "vst3plugin.h"
#include "vst3strings.h"

#include "public.sdk/source/vst/vstpresetfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace Quorvane
{

void Vst3Plugin::loadPreset(const std::string& file)
{
    auto stream = owned(FileStream::open(file.c_str(), "rb"));
    if (!stream)
        throw HostError(kExitInput, "cannot open preset '" + file + "': " + std::strerror(errno));

    {
        PresetFile reader(stream);
        if (!reader.readChunkList())
            throw HostError(kExitInput, "preset '" + file + "' is not a .vstpreset file");
        TUID presetClass{};
        reader.getClassID().toTUID(presetClass);
        if (!FUnknownPrivate::iidEqual(presetClass, processorClassId))
            throw HostError(kExitInput, "preset '" + file + "' belongs to another plug-in (class " +
                                            classIdText(presetClass) + ")");
        if (!reader.contains(kComponentState))
            throw HostError(kExitInput, "preset '" + file + "' holds no processor state");
    }
    stream->seek(0, IBStream::kIBSeekSet, nullptr);

    // Changes queued before a state is loaded would overwrite it: drop them.
    pending.clear();
    // The state may set the controller's values, output parameters' among them.
    std::fill(passedOn.begin(), passedOn.end(), std::numeric_limits<double>::quiet_NaN());
    FUID classId = FUID::fromTUID(processorClassId);
    IEditController* target = controllerIsComponent ? nullptr : controller.get();
    if (!PresetFile::loadPreset(stream, classId, component, target))
        throw HostError(kExitInput, "the plug-in rejected the state in preset '" + file + "'");
}

void Vst3Plugin::savePreset(const std::string& file)
{
    TemporaryFile temporary(file);
    {
        auto stream = owned(FileStream::open(temporary.path().c_str(), "wb"));
        if (!stream)
            throw HostError(kExitOutput,
                            "cannot write preset '" + file + "': " + std::strerror(errno));
        FUID classId = FUID::fromTUID(processorClassId);
        IEditController* source = controllerIsComponent ? nullptr : controller.get();
        if (!PresetFile::savePreset(stream, classId, component, source))
            throw HostError(kExitOutput, "could not write preset '" + file + "'");
    }
    temporary.commit();
}

} // namespace Quorvane
