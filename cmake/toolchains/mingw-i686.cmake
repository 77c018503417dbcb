# Cross build for 32-bit Windows with Debian's mingw-w64 (POSIX threads variant).
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-i686.cmake
set(QUORVANE_MINGW_TRIPLET i686-w64-mingw32)
# 32-bit programs need Debian's wine32; without it the tests cannot run (the build still works).
if(EXISTS /usr/lib/wine/wine)
  set(QUORVANE_WINE_LOADER /usr/lib/wine/wine)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# The engine's vector code needs SSE2, and doing all float arithmetic there (not on the x87
# stack) gives the same results as the 64-bit builds. Windows hosts call in with a stack
# aligned to 4 bytes only: realign where vector values are spilled.
set(CMAKE_C_FLAGS_INIT "${QUORVANE_MINGW_FLAGS} -msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "${QUORVANE_MINGW_FLAGS} -msse2 -mfpmath=sse -mstackrealign")
