# CMake generated Testfile for 
# Source directory: /work/main/app
# Build directory: /work/main/build-bench/app
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
include("/work/main/build-bench/app/app_test[1]_include.cmake")
include("/work/main/build-bench/app/update_run_db_test[1]_include.cmake")
subdirs("cli")
