#include "vst3plugin.h"

#include "support/hosterror.h"
#include "utf16.h"
#include "vst3componenthandler.h"
#include "vst3strings.h"

#include "base/source/fstring.h"
#include "pluginterfaces/base/ibstream.h"
#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <cmath>
#include <cstring>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace Quorvane
{

namespace
{

template <typename I> IPtr<I> queryAs(FUnknown* object)
{
    return FUnknownPtr<I>(object);
}

std::string className(IPluginFactory* factory, int32 index)
{
    PClassInfo info{};
    if (factory->getClassInfo(index, &info) != kResultOk)
        return {};
    return fieldText(info.name);
}

} // namespace

Vst3Plugin::Vst3Plugin(const std::string& path) : module(std::make_unique<Vst3Module>(path))
{
    hostContext = std::make_unique<HostApplication>();
    componentHandler = new Vst3ComponentHandler();
    try
    {
        createInstances();
        connectPeers();
        syncControllerWithComponent();
    }
    catch (...)
    {
        shutDown();
        throw;
    }
}

Vst3Plugin::~Vst3Plugin()
{
    shutDown();
}

void Vst3Plugin::createInstances()
{
    IPluginFactory* factory = module->factory();
    const std::string where = "plug-in '" + module->bundlePath() + "'";

    int32 count = factory->countClasses();
    int32 processorIndex = -1;
    for (int32 i = 0; i < count && processorIndex < 0; ++i)
    {
        PClassInfo info{};
        if (factory->getClassInfo(i, &info) == kResultOk &&
            strncmp(info.category, kVstAudioEffectClass, sizeof(info.category)) == 0)
        {
            processorIndex = i;
            memcpy(processorClassId, info.cid, sizeof(TUID));
        }
    }
    if (processorIndex < 0)
        pluginError(where + " has no audio effect class (\"" kVstAudioEffectClass "\")");

    Vst::IComponent* rawComponent = nullptr;
    if (factory->createInstance(processorClassId, Vst::IComponent::iid,
                                reinterpret_cast<void**>(&rawComponent)) != kResultOk ||
        !rawComponent)
        pluginError(where + " could not create its audio effect '" +
                    className(factory, processorIndex) + "'");
    component = owned(rawComponent);

    if (component->initialize(hostContext.get()) != kResultOk)
        pluginError(where + ": the audio effect failed to initialize");
    componentInitialized = true;

    processor = queryAs<IAudioProcessor>(component);
    if (!processor)
        pluginError(where + ": the audio effect has no audio processor interface");

    // A plug-in may implement the controller in the component itself.
    controller = queryAs<IEditController>(component);
    if (controller)
    {
        controllerIsComponent = true;
        return;
    }
    TUID controllerId{};
    if (component->getControllerClassId(controllerId) != kResultOk)
        pluginError(where + " names no edit controller class");
    IEditController* rawController = nullptr;
    if (factory->createInstance(controllerId, IEditController::iid,
                                reinterpret_cast<void**>(&rawController)) != kResultOk ||
        !rawController)
        pluginError(where + " lacks the edit controller class " + classIdText(controllerId));
    controller = owned(rawController);
    if (controller->initialize(hostContext.get()) != kResultOk)
        pluginError(where + ": the edit controller failed to initialize");
    controllerInitialized = true;
}

void Vst3Plugin::connectPeers()
{
    controller->setComponentHandler(componentHandler);
    if (controllerIsComponent)
        return;
    componentConnection = queryAs<IConnectionPoint>(component);
    controllerConnection = queryAs<IConnectionPoint>(controller);
    if (componentConnection && controllerConnection)
    {
        componentConnection->connect(controllerConnection);
        controllerConnection->connect(componentConnection);
        connected = true;
    }
}

void Vst3Plugin::syncControllerWithComponent()
{
    if (controllerIsComponent)
        return;
    auto state = owned(new MemoryStream());
    if (component->getState(state) != kResultOk)
        return;
    state->seek(0, IBStream::kIBSeekSet, nullptr);
    controller->setComponentState(state);
}

void Vst3Plugin::shutDown()
{
    stop();
    if (connected)
    {
        componentConnection->disconnect(controllerConnection);
        controllerConnection->disconnect(componentConnection);
        connected = false;
    }
    componentConnection = nullptr;
    controllerConnection = nullptr;
    if (controller)
        controller->setComponentHandler(nullptr);
    if (controllerInitialized)
        controller->terminate();
    controllerInitialized = false;
    controller = nullptr;
    processor = nullptr;
    if (componentInitialized)
        component->terminate();
    componentInitialized = false;
    component = nullptr;
    if (componentHandler)
        componentHandler->release();
    componentHandler = nullptr;
    hostContext.reset();
    // The module goes last, after every object it made.
    module.reset();
}

std::vector<ParameterDescription> Vst3Plugin::parameters()
{
    std::vector<ParameterDescription> list;
    int32 count = controller->getParameterCount();
    for (int32 i = 0; i < count; ++i)
    {
        ParameterInfo info{};
        if (controller->getParameterInfo(i, info) != kResultOk)
            continue;
        ParameterDescription p;
        p.id = info.id;
        p.title = toUtf8(info.title, 128);
        p.units = toUtf8(info.units, 128);
        p.stepCount = info.stepCount;
        p.defaultNormalized = info.defaultNormalizedValue;
        p.flags = info.flags;
        p.readOnly = (info.flags & ParameterInfo::kIsReadOnly) != 0;
        p.automatable = (info.flags & ParameterInfo::kCanAutomate) != 0;
        p.bypass = (info.flags & ParameterInfo::kIsBypass) != 0;
        list.push_back(std::move(p));
    }
    return list;
}

double Vst3Plugin::parameterValue(uint32_t id)
{
    return controller->getParamNormalized(id);
}

std::string Vst3Plugin::displayText(uint32_t id, double normalized)
{
    String128 text{};
    if (controller->getParamStringByValue(id, normalized, text) != kResultOk)
        return {};
    text[127] = 0;
    return toUtf8(text, 128);
}

std::optional<double> Vst3Plugin::parseDisplayText(uint32_t id, const std::string& text)
{
    std::u16string wide = toUtf16(text);
    if (wide.size() > 127)
        return std::nullopt;
    String128 buffer{};
    std::copy(wide.begin(), wide.end(), buffer);
    ParamValue value = 0.0;
    if (controller->getParamValueByString(id, buffer, value) != kResultOk || !std::isfinite(value))
        return std::nullopt;
    return value;
}

void Vst3Plugin::setParameter(uint32_t id, double normalized)
{
    controller->setParamNormalized(id, normalized);
    if (id < passedOn.size())
        passedOn[id] = std::numeric_limits<double>::quiet_NaN();
    pending.emplace_back(id, normalized);
}

} // namespace Quorvane
