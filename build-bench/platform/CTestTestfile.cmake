# CMake generated Testfile for 
# Source directory: /work/main/platform
# Build directory: /work/main/build-bench/platform
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
include("/work/main/build-bench/platform/platform_test[1]_include.cmake")
