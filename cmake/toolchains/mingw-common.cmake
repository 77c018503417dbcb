# Shared part of the mingw-w64 toolchain files; QUORVANE_MINGW_TRIPLET names the target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QUORVANE_MINGW_TRIPLET})

set(CMAKE_C_COMPILER ${QUORVANE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORVANE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QUORVANE_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUORVANE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything the modules and programs need besides system DLLs is linked in: the C++ and GCC
# run-time libraries and winpthread.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Windows guarantees 16-byte stack alignment only, and GCC may still spill 32-byte AVX values
# with aligned moves (GCC bug 54412): let the assembler emit unaligned moves throughout.
set(QUORVANE_MINGW_FLAGS "-Wa,-muse-unaligned-vector-move")

if(DEFINED QUORVANE_WINE_LOADER)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORVANE_WINE_LOADER})
endif()
