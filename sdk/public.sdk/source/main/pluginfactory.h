// The class factory a plug-in module hands to its host: it describes the
// vendor and the registered classes and creates their instances.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"

#include <atomic>
#include <vector>

namespace Steinberg {

class CPluginFactory : public IPluginFactory3
{
public:
	/** Creates an instance; the context is the one given at registration. */
	using CreateFunc = FUnknown* (*)(void* context);

	explicit CPluginFactory (const PFactoryInfo& info);
	virtual ~CPluginFactory ();

	CPluginFactory (const CPluginFactory&) = delete;
	CPluginFactory& operator= (const CPluginFactory&) = delete;

	/** Registers a class. Refused (false) for a null record or function, or
	    for a class ID that is already registered. */
	bool registerClass (const PClassInfo* info, CreateFunc createFunc, void* context = nullptr);
	bool registerClass (const PClassInfo2* info, CreateFunc createFunc, void* context = nullptr);
	bool registerClass (const PClassInfoW* info, CreateFunc createFunc, void* context = nullptr);

	bool isClassRegistered (const FUID& cid) const;

	//--- IPluginFactory ---
	tresult PLUGIN_API getFactoryInfo (PFactoryInfo* info) SMTG_OVERRIDE;
	int32 PLUGIN_API countClasses () SMTG_OVERRIDE;
	tresult PLUGIN_API getClassInfo (int32 index, PClassInfo* info) SMTG_OVERRIDE;
	/** Creates the class cid and hands out its interface _iid. An unknown
	    class or interface gives kNoInterface and a null object; a create
	    function that fails or throws gives kOutOfMemory (kInternalError for
	    an exception other than std::bad_alloc). */
	tresult PLUGIN_API createInstance (FIDString cid, FIDString _iid, void** obj) SMTG_OVERRIDE;

	//--- IPluginFactory2 ---
	tresult PLUGIN_API getClassInfo2 (int32 index, PClassInfo2* info) SMTG_OVERRIDE;

	//--- IPluginFactory3 ---
	tresult PLUGIN_API getClassInfoUnicode (int32 index, PClassInfoW* info) SMTG_OVERRIDE;
	tresult PLUGIN_API setHostContext (FUnknown* context) SMTG_OVERRIDE;

	//--- FUnknown ---
	tresult PLUGIN_API queryInterface (const TUID _iid, void** obj) SMTG_OVERRIDE;
	uint32 PLUGIN_API addRef () SMTG_OVERRIDE;
	uint32 PLUGIN_API release () SMTG_OVERRIDE;

protected:
	struct ClassEntry
	{
		PClassInfo2 info8;  // every text as registered or converted to UTF-8
		PClassInfoW info16; // the same record with UTF-16 texts
		CreateFunc createFunc;
		void* context;
	};

	const ClassEntry* findClass (const char8* cid) const;
	bool addClass (const ClassEntry& entry);

	PFactoryInfo factoryInfo;
	std::vector<ClassEntry> classes;
	IPtr<FUnknown> hostContext;
	std::atomic<int32> refCount {1};
};

/** The module's factory while it exists; the factory clears it when it is
    destroyed, so the next GetPluginFactory call builds a new one. */
extern CPluginFactory* gPluginFactory;

} // namespace Steinberg

//------------------------------------------------------------------------
// Macros for a module's factory file. BEGIN_FACTORY_DEF (vendor, url,
// email) comes with "pluginterfaces/vst/ivstcomponent.h" and uses the
// default VST 3 factory flags; BEGIN_FACTORY takes the flags explicitly.
//
//   BEGIN_FACTORY_DEF ("Vendor", "http://www.example.com", "mailto:info@example.com")
//       DEF_CLASS2 (INLINE_UID_FROM_FUID (ProcessorUID), PClassInfo::kManyInstances,
//                   kVstAudioEffectClass, "Name", Vst::kDistributable, "Fx", "1.0.0",
//                   kVstVersionString, Processor::createInstance)
//   END_FACTORY
//
// Together they define the exported GetPluginFactory: the first call builds
// the factory from static records, later calls add a reference to it.
//------------------------------------------------------------------------
#define BEGIN_FACTORY(vendor, url, email, flags)                                                   \
	using namespace Steinberg;                                                                     \
	SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory ()                              \
	{                                                                                              \
		if (!gPluginFactory)                                                                       \
		{                                                                                          \
			static PFactoryInfo factoryInfo (vendor, url, email, flags);                           \
			gPluginFactory = new CPluginFactory (factoryInfo);

#define DEF_CLASS(cid, cardinality, category, name, createMethod)                                  \
	{                                                                                              \
		TUID classId = cid;                                                                        \
		static PClassInfo classInfo (classId, cardinality, category, name);                        \
		gPluginFactory->registerClass (&classInfo, createMethod);                                  \
	}

#define DEF_CLASS2(cid, cardinality, category, name, classFlags, subCategories, version,           \
                   sdkVersion, createMethod)                                                       \
	{                                                                                              \
		TUID classId = cid;                                                                        \
		static PClassInfo2 classInfo (classId, cardinality, category, name, classFlags,            \
		                              subCategories, nullptr, version, sdkVersion);                \
		gPluginFactory->registerClass (&classInfo, createMethod);                                  \
	}

#define END_FACTORY                                                                                \
	}                                                                                              \
	else gPluginFactory->addRef ();                                                                \
	return gPluginFactory;                                                                         \
	}
