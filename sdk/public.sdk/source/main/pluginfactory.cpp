#include "public.sdk/source/main/pluginfactory.h"

#include "public.sdk/source/common/textconvert.h"

#include <cstring>
#include <new>

namespace Steinberg {

CPluginFactory* gPluginFactory = nullptr;

namespace {

// Copies a fixed-size text field and makes sure the copy is terminated, so
// no host reads past it even when the registered text filled the field.
template <typename Char, size_t N>
void copyField (Char (&dst)[N], const Char (&src)[N])
{
	std::memcpy (dst, src, sizeof (dst));
	dst[N - 1] = 0;
}

template <size_t D, size_t S>
void copyField (char16 (&dst)[D], const char8 (&src)[S])
{
	utf8ToUtf16 (dst, static_cast<int32> (D), src, static_cast<int32> (S));
}

template <size_t D, size_t S>
void copyField (char8 (&dst)[D], const char16 (&src)[S])
{
	utf16ToUtf8 (dst, static_cast<int32> (D), src, static_cast<int32> (S));
}

// Copies a class record field by field into another record type, converting the texts that
// change encoding and terminating every text field.
template <typename Out, typename In>
Out convertClassInfo (const In& in)
{
	Out out;
	std::memcpy (out.cid, in.cid, sizeof (TUID));
	out.cardinality = in.cardinality;
	copyField (out.category, in.category);
	copyField (out.name, in.name);
	out.classFlags = in.classFlags;
	copyField (out.subCategories, in.subCategories);
	copyField (out.vendor, in.vendor);
	copyField (out.version, in.version);
	copyField (out.sdkVersion, in.sdkVersion);
	return out;
}

PClassInfoW toUnicode (const PClassInfo2& in) { return convertClassInfo<PClassInfoW> (in); }
PClassInfo2 toUtf8 (const PClassInfoW& in) { return convertClassInfo<PClassInfo2> (in); }
PClassInfo2 terminated (const PClassInfo2& in) { return convertClassInfo<PClassInfo2> (in); }

} // namespace

CPluginFactory::CPluginFactory (const PFactoryInfo& info) : factoryInfo (info)
{
	factoryInfo.vendor[PFactoryInfo::kNameSize - 1] = 0;
	factoryInfo.url[PFactoryInfo::kURLSize - 1] = 0;
	factoryInfo.email[PFactoryInfo::kEmailSize - 1] = 0;
}

CPluginFactory::~CPluginFactory ()
{
	if (gPluginFactory == this)
		gPluginFactory = nullptr;
}

bool CPluginFactory::registerClass (const PClassInfo* info, CreateFunc createFunc, void* context)
{
	if (info == nullptr)
		return false;
	PClassInfo2 info2;
	std::memcpy (info2.cid, info->cid, sizeof (TUID));
	info2.cardinality = info->cardinality;
	copyField (info2.category, info->category);
	copyField (info2.name, info->name);
	return addClass ({info2, toUnicode (info2), createFunc, context});
}

bool CPluginFactory::registerClass (const PClassInfo2* info, CreateFunc createFunc, void* context)
{
	if (info == nullptr)
		return false;
	const PClassInfo2 info2 = terminated (*info);
	return addClass ({info2, toUnicode (info2), createFunc, context});
}

bool CPluginFactory::registerClass (const PClassInfoW* info, CreateFunc createFunc, void* context)
{
	if (info == nullptr)
		return false;
	// The 16-bit texts stay as registered; the 8-bit record gets their UTF-8 form.
	const PClassInfo2 info2 = toUtf8 (*info);
	PClassInfoW infoW = toUnicode (info2);
	copyField (infoW.name, info->name);
	copyField (infoW.vendor, info->vendor);
	copyField (infoW.version, info->version);
	copyField (infoW.sdkVersion, info->sdkVersion);
	return addClass ({info2, infoW, createFunc, context});
}

bool CPluginFactory::addClass (const ClassEntry& entry)
{
	if (entry.createFunc == nullptr || findClass (entry.info8.cid) != nullptr)
		return false;
	try
	{
		classes.push_back (entry);
	}
	catch (const std::bad_alloc&)
	{
		return false;
	}
	return true;
}

const CPluginFactory::ClassEntry* CPluginFactory::findClass (const char8* cid) const
{
	for (const ClassEntry& entry : classes)
		if (std::memcmp (entry.info8.cid, cid, sizeof (TUID)) == 0)
			return &entry;
	return nullptr;
}

bool CPluginFactory::isClassRegistered (const FUID& cid) const
{
	return findClass (cid.toTUID ()) != nullptr;
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo (PFactoryInfo* info)
{
	if (info == nullptr)
		return kInvalidArgument;
	*info = factoryInfo;
	return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses () { return static_cast<int32> (classes.size ()); }

tresult PLUGIN_API CPluginFactory::getClassInfo (int32 index, PClassInfo* info)
{
	if (info == nullptr || index < 0 || index >= countClasses ())
		return kInvalidArgument;
	const PClassInfo2& source = classes[static_cast<size_t> (index)].info8;
	std::memcpy (info->cid, source.cid, sizeof (TUID));
	info->cardinality = source.cardinality;
	copyField (info->category, source.category);
	copyField (info->name, source.name);
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2 (int32 index, PClassInfo2* info)
{
	if (info == nullptr || index < 0 || index >= countClasses ())
		return kInvalidArgument;
	*info = classes[static_cast<size_t> (index)].info8;
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode (int32 index, PClassInfoW* info)
{
	if (info == nullptr || index < 0 || index >= countClasses ())
		return kInvalidArgument;
	*info = classes[static_cast<size_t> (index)].info16;
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance (FIDString cid, FIDString _iid, void** obj)
{
	if (obj == nullptr)
		return kInvalidArgument;
	*obj = nullptr;
	if (cid == nullptr || _iid == nullptr)
		return kInvalidArgument;

	const ClassEntry* entry = findClass (cid);
	if (entry == nullptr)
		return kNoInterface;

	// The host may be written in C: nothing the class's constructor throws may reach it.
	FUnknown* instance = nullptr;
	try
	{
		instance = entry->createFunc (entry->context);
	}
	catch (const std::bad_alloc&)
	{
		return kOutOfMemory;
	}
	catch (...)
	{
		return kInternalError;
	}
	if (instance == nullptr)
		return kOutOfMemory;

	// The caller keeps only the reference that queryInterface adds.
	const tresult result = instance->queryInterface (_iid, obj);
	instance->release ();
	if (result != kResultOk || *obj == nullptr)
	{
		*obj = nullptr;
		return kNoInterface;
	}
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::setHostContext (FUnknown* context)
{
	hostContext = context;
	return kResultOk;
}

tresult PLUGIN_API CPluginFactory::queryInterface (const TUID _iid, void** obj)
{
	if (obj == nullptr)
		return kInvalidArgument;
	if (_iid == nullptr)
	{
		*obj = nullptr;
		return kInvalidArgument;
	}
	QUERY_INTERFACE (_iid, obj, FUnknown::iid, IPluginFactory)
	QUERY_INTERFACE (_iid, obj, IPluginFactory::iid, IPluginFactory)
	QUERY_INTERFACE (_iid, obj, IPluginFactory2::iid, IPluginFactory2)
	QUERY_INTERFACE (_iid, obj, IPluginFactory3::iid, IPluginFactory3)
	*obj = nullptr;
	return kNoInterface;
}

uint32 PLUGIN_API CPluginFactory::addRef ()
{
	return static_cast<uint32> (refCount.fetch_add (1) + 1);
}

uint32 PLUGIN_API CPluginFactory::release ()
{
	const int32 remaining = refCount.fetch_sub (1) - 1;
	if (remaining == 0)
	{
		delete this;
		return 0;
	}
	return remaining > 0 ? static_cast<uint32> (remaining) : 0;
}

} // namespace Steinberg
