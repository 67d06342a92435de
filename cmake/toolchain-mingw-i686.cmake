# Cross-build for i686 Windows with MinGW-w64: the shipped build (only a
# 32-bit process can load Jet). Debian's compilers, static, so that the
# programs need no DLL beyond Windows' own, and for Windows XP SP3 onwards:
# the PE header says 5.1, no later.
#
# The win32 thread model: the posix model's libstdc++ runs on winpthreads,
# which imports GetTickCount64 (Vista), so its programs don't load on XP. The
# price is that std::thread, std::mutex and the like don't exist here (GCC
# 12); code for Windows uses the Win32 calls (CreateThread and so on).
#
# The headers target XP SP3 (_WIN32_WINNT 0x0501, NTDDI_VERSION 0x05010300)
# and so refuse anything newer. A file that needs a newer declaration says
# why in a comment and raises the target for itself alone, above its first
# #include:
#
#   // GetTickCount64 (Vista), looked up at run time: XP lacks it.
#   #undef _WIN32_WINNT
#   #define _WIN32_WINNT 0x0600
#   #undef NTDDI_VERSION
#   #define NTDDI_VERSION 0x06000000
#
# Both together: sdkddkver.h refuses an XP NTDDI_VERSION beside another
# _WIN32_WINNT. The #undefs keep the redefinitions from warning. A newer
# function must be looked up at run time (GetProcAddress): the exe check test
# (app/win32/check_exe.cmake) fails on any import that XP SP3 lacks.
# MinGW-w64 gates only some declarations:
# GetTokenInformation with TokenElevation or TokenVirtualizationEnabled, for
# one, compiles as it is, and XP answers those classes with an error.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TELO_MINGW_TRIPLE i686-w64-mingw32)

set(CMAKE_C_COMPILER ${TELO_MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TELO_MINGW_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER ${TELO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TELO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(TELO_WINDOWS_TARGET "-D_WIN32_WINNT=0x0501 -DNTDDI_VERSION=0x05010300")
set(CMAKE_C_FLAGS_INIT "${TELO_WINDOWS_TARGET}")
set(CMAKE_CXX_FLAGS_INIT "${TELO_WINDOWS_TARGET}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--major-os-version,5,--minor-os-version,1"
       " -Wl,--major-subsystem-version,5,--minor-subsystem-version,1")

# Tests run under Wine.
find_program(TELO_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TELO_WINE})
