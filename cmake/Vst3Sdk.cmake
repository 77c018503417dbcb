# Builds the VST 3 SDK subset as the static library `vst3sdk`.
# By default it comes from Debian's juce-modules-source-data; point VST3_SDK_ROOT
# at a full SDK checkout to use that instead.
set(VST3_SDK_ROOT "/usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK"
    CACHE PATH "Root of the VST 3 SDK (holds base/, pluginterfaces/, public.sdk/)")

if(NOT EXISTS "${VST3_SDK_ROOT}/pluginterfaces/base/funknown.h"
   OR NOT EXISTS "${VST3_SDK_ROOT}/public.sdk/source/vst/vsteditcontroller.cpp")
  message(FATAL_ERROR
    "VST 3 SDK not found at VST3_SDK_ROOT='${VST3_SDK_ROOT}'. "
    "Install it with scripts/install-deps.sh (Debian package juce-modules-source-data) "
    "or pass -DVST3_SDK_ROOT=/path/to/vst3sdk.")
endif()

set(_sdk_sources
  pluginterfaces/base/conststringtable.cpp
  pluginterfaces/base/coreiids.cpp
  pluginterfaces/base/funknown.cpp
  pluginterfaces/base/ustring.cpp
  base/source/baseiids.cpp
  base/source/fbuffer.cpp
  base/source/fdebug.cpp
  base/source/fobject.cpp
  base/source/fstreamer.cpp
  base/source/fstring.cpp
  base/source/updatehandler.cpp
  base/thread/source/flock.cpp
  public.sdk/source/common/memorystream.cpp
  public.sdk/source/common/pluginview.cpp
  public.sdk/source/vst/hosting/hostclasses.cpp
  public.sdk/source/vst/hosting/pluginterfacesupport.cpp
  public.sdk/source/vst/vstbus.cpp
  public.sdk/source/vst/vstcomponent.cpp
  public.sdk/source/vst/vstcomponentbase.cpp
  public.sdk/source/vst/vsteditcontroller.cpp
  public.sdk/source/vst/vstinitiids.cpp
  public.sdk/source/vst/vstparameters.cpp
  public.sdk/source/vst/vstpresetfile.cpp)
list(TRANSFORM _sdk_sources PREPEND "${VST3_SDK_ROOT}/")


# The subset declares the editor-window interfaces without defining their identifiers.
list(APPEND _sdk_sources "${PROJECT_SOURCE_DIR}/sdk/public.sdk/source/common/pluginviewiids.cpp")
if(NOT WIN32)
  list(APPEND _sdk_sources "${PROJECT_SOURCE_DIR}/sdk/public.sdk/source/common/linux/runloopiids.cpp")
endif()

add_library(vst3sdk STATIC ${_sdk_sources})
target_include_directories(vst3sdk SYSTEM PUBLIC "${VST3_SDK_ROOT}")
target_compile_definitions(vst3sdk PUBLIC RELEASE=1)
target_compile_options(vst3sdk PRIVATE -w)
# The plug-in library exports only its entry points.
set_target_properties(vst3sdk PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
find_package(Threads REQUIRED)
target_link_libraries(vst3sdk PUBLIC Threads::Threads ${CMAKE_DL_LIBS})
