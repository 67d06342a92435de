# CMake generated Testfile for 
# Source directory: /work/main/app/cli
# Build directory: /work/main/build-bench/app/cli
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
include("/work/main/build-bench/app/cli/cli_test[1]_include.cmake")
include("/work/main/build-bench/app/cli/cli_run_test[1]_include.cmake")
