# CMake generated Testfile for 
# Source directory: /work/main/base
# Build directory: /work/main/build-bench/base
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
include("/work/main/build-bench/base/base_test[1]_include.cmake")
