# The Windows bundle's Contents/Resources. The 64-bit build's bundle is the one shipped (the
# 32-bit module is copied into it). The snapshots are the Linux build's pictures of the same
# editor; moduleinfo.json is what the tool built for Windows reads from the Windows module under
# Wine, so it describes that module.
if(NOT WIN32 OR NOT CMAKE_SIZEOF_VOID_P EQUAL 8 OR NOT CMAKE_CROSSCOMPILING_EMULATOR)
  return()
endif()
set(QUORVANE_LINUX_BUILD "${PROJECT_SOURCE_DIR}/build" CACHE PATH
    "A Linux build of this tree (with quorvane_exchange and Quorvane built) to compare with")
set(_resources ${QUORVANE_BUNDLE_DIR}/Contents/Resources)
set(_moduleinfo ${_resources}/moduleinfo.json)
set(_linux_resources ${QUORVANE_LINUX_BUILD}/Quorvane.vst3/Contents/Resources)
# Wine's prefix: the one in the environment at configure time (scripts/build-windows.sh gives
# the build's own), else one in the build folder, never the user's ~/.wine.
set(QUORVANE_WINEPREFIX "$ENV{WINEPREFIX}" CACHE PATH "The Wine prefix the build runs programs in")
if(NOT QUORVANE_WINEPREFIX)
  set(QUORVANE_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix CACHE PATH "" FORCE)
endif()
add_subdirectory(moduleinfo)
add_custom_command(OUTPUT ${_moduleinfo}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${_resources}/Snapshots
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${_linux_resources}/Snapshots ${_resources}/Snapshots
  COMMAND ${CMAKE_COMMAND} -E env WINEDEBUG=-all WINEPREFIX=${QUORVANE_WINEPREFIX} ${CMAKE_CROSSCOMPILING_EMULATOR}
          $<TARGET_FILE:quorvane_moduleinfo> Z:${QUORVANE_BUNDLE_DIR} Z:${_moduleinfo} ${PROJECT_VERSION}
  DEPENDS Quorvane $<TARGET_FILE:Quorvane> quorvane_moduleinfo ${_linux_resources}/moduleinfo.json
  COMMENT "Copying the Linux build's snapshots and writing moduleinfo.json under Wine"
  VERBATIM)
add_custom_target(quorvane_bundle_resources ALL DEPENDS ${_moduleinfo})
