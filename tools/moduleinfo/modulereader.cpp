#include "modulereader.h"

#include "modulelibrary.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <cstring>
#include <memory>
#include <stdexcept>

using namespace Steinberg;

namespace Quorvane
{

namespace
{

// A fixed-size, possibly unterminated text field of a record.
template <size_t N> std::string field(const char8 (&text)[N])
{
    return std::string(text, strnlen(text, N));
}

} // namespace

ModuleRecords readModule(const std::string& library)
{
    ModuleLibrary module(library);
    auto getFactory = reinterpret_cast<IPluginFactory* (*)()>(module.symbol("GetPluginFactory"));
    if (!getFactory)
        throw std::runtime_error(library + " lacks GetPluginFactory");
    module.enter();

    IPtr<IPluginFactory> factory = owned(getFactory());
    if (!factory)
        throw std::runtime_error("GetPluginFactory of " + library + " returned nothing");
    ModuleRecords records;
    PFactoryInfo info{};
    if (factory->getFactoryInfo(&info) != kResultOk)
        throw std::runtime_error("the factory of " + library + " gives no factory information");
    records.factory = {field(info.vendor), field(info.url), field(info.email), info.flags};

    FUnknownPtr<IPluginFactory2> factory2(factory);
    for (int32 i = 0; i < factory->countClasses(); ++i)
    {
        ClassRecord record;
        if (factory2)
        {
            PClassInfo2 classInfo{};
            if (factory2->getClassInfo2(i, &classInfo) != kResultOk)
                throw std::runtime_error("the factory of " + library + " has no record for class " +
                                         std::to_string(i));
            char cid[33]{};
            FUID::fromTUID(classInfo.cid).toString(cid);
            record = {cid,
                      field(classInfo.category),
                      field(classInfo.name),
                      field(classInfo.vendor),
                      field(classInfo.version),
                      field(classInfo.sdkVersion),
                      field(classInfo.subCategories),
                      classInfo.classFlags,
                      classInfo.cardinality};
        }
        else
        {
            PClassInfo classInfo{};
            if (factory->getClassInfo(i, &classInfo) != kResultOk)
                throw std::runtime_error("the factory of " + library + " has no record for class " +
                                         std::to_string(i));
            char cid[33]{};
            FUID::fromTUID(classInfo.cid).toString(cid);
            record.cid = cid;
            record.category = field(classInfo.category);
            record.name = field(classInfo.name);
            record.cardinality = classInfo.cardinality;
        }
        records.classes.push_back(record);
    }
    return records;
}

} // namespace Quorvane
