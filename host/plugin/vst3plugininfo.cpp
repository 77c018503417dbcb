// `quorvane info` for a VST 3 plug-in: factory, classes and buses.
#include "utf16.h"
#include "vst3plugin.h"
#include "vst3strings.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <iomanip>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace Quorvane
{

namespace
{

std::string factoryFlagsText(int32 flags)
{
    std::string text;
    auto add = [&](int32 bit, const char* name)
    {
        if (flags & bit)
            text += (text.empty() ? "" : ", ") + std::string(name);
    };
    add(PFactoryInfo::kClassesDiscardable, "classes discardable");
    add(PFactoryInfo::kLicenseCheck, "licence check");
    add(PFactoryInfo::kComponentNonDiscardable, "non-discardable");
    add(PFactoryInfo::kUnicode, "unicode");
    return text.empty() ? "none" : text;
}

std::string arrangementText(SpeakerArrangement arrangement)
{
    const char* name = SpeakerArr::getSpeakerArrangementString(arrangement, false);
    std::string text = name ? name : "";
    if (text.empty() || text == "Unknown")
        text = std::to_string(SpeakerArr::getChannelCount(arrangement)) + " speakers";
    char hex[32];
    snprintf(hex, sizeof(hex), " (0x%llx)", static_cast<unsigned long long>(arrangement));
    return text + hex;
}

} // namespace

void Vst3Plugin::describe(std::ostream& out)
{
    IPluginFactory* factory = module->factory();
    PFactoryInfo factoryInfo{};
    factory->getFactoryInfo(&factoryInfo);
    out << "Module   " << module->libraryPath() << "\n"
        << "Vendor   " << fieldText(factoryInfo.vendor) << "\n"
        << "URL      " << fieldText(factoryInfo.url) << "\n"
        << "E-mail   " << fieldText(factoryInfo.email) << "\n"
        << "Flags    " << factoryFlagsText(factoryInfo.flags) << "\n\n";

    FUnknownPtr<IPluginFactory2> factory2(factory);
    int32 count = factory->countClasses();
    out << "Classes (" << count << ")\n";
    for (int32 i = 0; i < count; ++i)
    {
        PClassInfo2 info2{};
        PClassInfo info{};
        if (factory2 && factory2->getClassInfo2(i, &info2) == kResultOk)
        {
            out << "  [" << i << "] " << fieldText(info2.name) << "\n"
                << "      category       " << fieldText(info2.category) << "\n"
                << "      class ID       " << classIdText(info2.cid) << "\n"
                << "      sub-categories " << fieldText(info2.subCategories) << "\n"
                << "      class flags    " << info2.classFlags << "\n"
                << "      version        " << fieldText(info2.version) << "\n"
                << "      SDK version    " << fieldText(info2.sdkVersion) << "\n";
            if (info2.vendor[0])
                out << "      vendor         " << fieldText(info2.vendor) << "\n";
        }
        else if (factory->getClassInfo(i, &info) == kResultOk)
            out << "  [" << i << "] " << fieldText(info.name) << "\n"
                << "      category       " << fieldText(info.category) << "\n"
                << "      class ID       " << classIdText(info.cid) << "\n";
    }

    out << "\nAudio effect\n"
        << "  parameters     " << controller->getParameterCount() << "\n"
        << "  latency        " << processor->getLatencySamples() << " samples\n"
        << "  tail           " << processor->getTailSamples() << " samples\n"
        << "  64-bit audio   "
        << (processor->canProcessSampleSize(kSample64) == kResultTrue ? "yes" : "no") << "\n";
    describeBuses(out);
}

void Vst3Plugin::describeBuses(std::ostream& out)
{
    out << "\nBuses\n";
    for (MediaType type : {kAudio, kEvent})
        for (BusDirection direction : {kInput, kOutput})
        {
            int32 count = component->getBusCount(type, direction);
            for (int32 i = 0; i < count; ++i)
            {
                BusInfo info{};
                if (component->getBusInfo(type, direction, i, info) != kResultOk)
                    continue;
                out << "  " << (type == kAudio ? "audio " : "event ")
                    << (direction == kInput ? "input  " : "output ") << i << "  \""
                    << toUtf8(info.name, 128) << "\"  " << (info.busType == kMain ? "main" : "aux")
                    << ", " << info.channelCount << " ch";
                SpeakerArrangement arrangement = 0;
                if (type == kAudio &&
                    processor->getBusArrangement(direction, i, arrangement) == kResultOk)
                    out << ", " << arrangementText(arrangement);
                out << ((info.flags & BusInfo::kDefaultActive) ? ", active by default"
                                                               : ", inactive by default")
                    << "\n";
            }
        }
}

} // namespace Quorvane
