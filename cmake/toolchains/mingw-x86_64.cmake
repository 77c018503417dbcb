# Cross build for 64-bit Windows with Debian's mingw-w64 (POSIX threads variant).
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-x86_64.cmake
# Test programs run through Wine (CMAKE_CROSSCOMPILING_EMULATOR), so CTest works as on Linux.
set(QUORVANE_MINGW_TRIPLET x86_64-w64-mingw32)
set(QUORVANE_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_C_FLAGS_INIT "${QUORVANE_MINGW_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${QUORVANE_MINGW_FLAGS}")
