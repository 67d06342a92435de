# Cross-build for i686 Windows with MinGW-w64: the shipped build. Its programs
# say in their PE header that they need Windows XP (5.1), no later.
set(TELO_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--major-os-version,5,--minor-os-version,1"
       " -Wl,--major-subsystem-version,5,--minor-subsystem-version,1")
