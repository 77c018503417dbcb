# The Debian package and the tarball (`cpack` in the build folder):
#   /usr/lib/vst3/Quorvane.vst3          the bundle, with moduleinfo.json and snapshots
#   /usr/lib/lv2/Quorvane.lv2            the LV2 bundle: library, UI, .ttl files and presets
#   /usr/lib/vst/Quorvane.so             the same library as a VST 2 effect (relative link)
#   /usr/bin/quorvane                    the command-line host
#   /usr/share/vst3/presets/Ostrelle/Quorvane/   the factory presets
#   /usr/share/man/man1/quorvane.1.gz
#   /usr/share/doc/quorvane/             README.md, LICENSE, copyright, changelog.gz
# Everything in it is installed by the component "package", which a plain
# `cmake --install build` leaves out (that one installs for the user, see the README).
if(NOT TARGET Quorvane OR NOT TARGET quorvane OR CMAKE_CROSSCOMPILING)
  return()
endif()

# The changelog's newest entry is written by hand for each release: it must name this version.
file(STRINGS ${PROJECT_SOURCE_DIR}/cmake/packaging/changelog.Debian _changelog_top LIMIT_COUNT 1)
if(NOT _changelog_top MATCHES "^quorvane \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "cmake/packaging/changelog.Debian has no entry for version ${PROJECT_VERSION} "
                      "at its top (found: ${_changelog_top})")
endif()

set(_package_dir ${CMAKE_BINARY_DIR}/package-files)
set(_files_stamp ${_package_dir}/files.stamp)
find_program(QUORVANE_GZIP gzip REQUIRED)
# Debian wants these compressed, reproducibly (no name or time stamp in the header).
add_custom_command(OUTPUT ${_files_stamp}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_package_dir}
  COMMAND ${QUORVANE_GZIP} -9n -c ${PROJECT_SOURCE_DIR}/docs/quorvane.1 > ${_package_dir}/quorvane.1.gz
  COMMAND ${QUORVANE_GZIP} -9n -c ${PROJECT_SOURCE_DIR}/cmake/packaging/changelog.Debian
          > ${_package_dir}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E touch ${_files_stamp}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/quorvane.1 ${PROJECT_SOURCE_DIR}/cmake/packaging/changelog.Debian
  VERBATIM)
add_custom_target(quorvane_package_files ALL DEPENDS ${_files_stamp})

# For `cmake --install build`: the host and its manual, in ~/.local for the
# default prefix (as the plug-in goes to ~/.vst3), else in PREFIX/bin and
# PREFIX/share/man/man1.
install(CODE "${QUORVANE_INSTALL_DIRS_CODE}
  file(INSTALL \"$<TARGET_FILE:quorvane>\" DESTINATION \"\${QUORVANE_ROOT_DIR}/bin\" USE_SOURCE_PERMISSIONS)
  file(INSTALL \"${_package_dir}/quorvane.1.gz\" DESTINATION \"\${QUORVANE_ROOT_DIR}/share/man/man1\")
  message(STATUS \"Installed quorvane in \${QUORVANE_ROOT_DIR}/bin\")
")

set(_c COMPONENT package EXCLUDE_FROM_ALL)
set(_read OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(TARGETS Quorvane LIBRARY DESTINATION lib/vst3/Quorvane.vst3/Contents/x86_64-linux PERMISSIONS ${_read} ${_c})
install(DIRECTORY ${QUORVANE_BUNDLE_DIR}/Contents/Resources DESTINATION lib/vst3/Quorvane.vst3/Contents
  FILE_PERMISSIONS ${_read} ${_c})
install(CODE "
  set(_vst2 \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/vst\")
  file(MAKE_DIRECTORY \"\${_vst2}\")
  file(CREATE_LINK ../vst3/Quorvane.vst3/Contents/x86_64-linux/Quorvane.so \"\${_vst2}/Quorvane.so\" SYMBOLIC)
" ${_c})
install(TARGETS QuorvaneLv2 QuorvaneLv2Ui LIBRARY DESTINATION lib/lv2/Quorvane.lv2 PERMISSIONS ${_read} ${_c})
install(FILES ${QUORVANE_LV2_DIR}/manifest.ttl ${QUORVANE_LV2_DIR}/quorvane.ttl ${QUORVANE_LV2_DIR}/presets.ttl
  DESTINATION lib/lv2/Quorvane.lv2 PERMISSIONS ${_read} ${_c})
install(TARGETS quorvane RUNTIME DESTINATION bin ${_c})
install(DIRECTORY ${QUORVANE_PRESET_DIR}/ DESTINATION share/vst3/presets/Ostrelle/Quorvane
  FILE_PERMISSIONS ${_read} ${_c} FILES_MATCHING PATTERN "*.vstpreset")
install(FILES ${_package_dir}/quorvane.1.gz DESTINATION share/man/man1 PERMISSIONS ${_read} ${_c})
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
              ${PROJECT_SOURCE_DIR}/cmake/packaging/copyright ${_package_dir}/changelog.gz
  DESTINATION share/doc/quorvane PERMISSIONS ${_read} ${_c})

set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR Ostrelle)
set(CPACK_PACKAGE_CONTACT "Ostrelle <quorvane@ostrelle.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "noise gate plug-in (VST 3, VST 2 and LV2) with a command-line host")
set(CPACK_PACKAGE_DESCRIPTION "Quorvane is a noise gate for digital audio workstations: a VST 3
plug-in, and through the same library a VST 2 plug-in, with its own editor;
and the same gate and editor as LV2 plug-ins (stereo, mono, side chain).
A key signal (the main input or a side chain) opens the gate above a
threshold; hold, hysteresis, attack delay, note truncation, Beat Skip, Hold
Closed, ducking, two attack shapes, release and range shape the result.
.
The package also holds quorvane, a command-line host that renders audio
files through the plug-in (several at once, with gate events and plots),
and ten factory presets.")
set(CPACK_PACKAGE_HOMEPAGE_URL "http://ostrelle.example/quorvane")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR OFF)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Quorvane;package;/")
set(CPACK_PACKAGE_FILE_NAME quorvane_${PROJECT_VERSION}_amd64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
