# Where `cmake --install build` puts things.
#
# Configured without a prefix, the install is for the user who built it: the plug-in in ~/.vst3
# (and as a VST 2 effect in ~/.vst), the LV2 bundle in ~/.lv2, the factory presets in
# ~/.vst3/presets, quorvane and its manual in ~/.local. With any other prefix
# (`-DCMAKE_INSTALL_PREFIX=DIR` when configuring, or `cmake --install build --prefix DIR`)
# everything goes to the system layout below DIR. The choice is kept in the cache, so a later
# re-configure does not change it.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local" CACHE PATH "Install prefix" FORCE)
endif()

# Install-time code that sets QUORVANE_VST3_DIR, QUORVANE_VST2_DIR, QUORVANE_LV2_INSTALL_DIR,
# QUORVANE_PRESETS_DIR and QUORVANE_ROOT_DIR for the prefix in force; every install(CODE) of the project starts with it.
set(QUORVANE_INSTALL_DIRS_CODE "
  if(\"\${CMAKE_INSTALL_PREFIX}\" STREQUAL \"$ENV{HOME}/.local\")
    set(QUORVANE_VST3_DIR \"$ENV{HOME}/.vst3\")
    set(QUORVANE_VST2_DIR \"$ENV{HOME}/.vst\")
    set(QUORVANE_LV2_INSTALL_DIR \"$ENV{HOME}/.lv2\")
    set(QUORVANE_PRESETS_DIR \"$ENV{HOME}/.vst3/presets/Ostrelle/Quorvane\")
  else()
    set(QUORVANE_VST3_DIR \"\${CMAKE_INSTALL_PREFIX}/lib/vst3\")
    set(QUORVANE_VST2_DIR \"\${CMAKE_INSTALL_PREFIX}/lib/vst\")
    set(QUORVANE_LV2_INSTALL_DIR \"\${CMAKE_INSTALL_PREFIX}/lib/lv2\")
    set(QUORVANE_PRESETS_DIR \"\${CMAKE_INSTALL_PREFIX}/share/vst3/presets/Ostrelle/Quorvane\")
  endif()
  set(QUORVANE_ROOT_DIR \"\${CMAKE_INSTALL_PREFIX}\")
")
