# Cross-build for i686 Windows with MinGW-w64.
set(TELO_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
