# CMake generated Testfile for 
# Source directory: /work/main/patch
# Build directory: /work/main/build-bench/patch
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
include("/work/main/build-bench/patch/patch_test[1]_include.cmake")
include("/work/main/build-bench/patch/procedure_test[1]_include.cmake")
