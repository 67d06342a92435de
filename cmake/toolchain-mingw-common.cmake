# Shared part of the MinGW-w64 toolchain files: cross-build for
# ${TELO_MINGW_ARCH} Windows with Debian's compilers (posix thread model).
# Everything links statically, so the programs need no DLL beyond Windows' own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TELO_MINGW_ARCH})
set(TELO_MINGW_TRIPLE ${TELO_MINGW_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER ${TELO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TELO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TELO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TELO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests run under Wine.
find_program(TELO_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TELO_WINE})
