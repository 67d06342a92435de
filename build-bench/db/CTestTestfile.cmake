# CMake generated Testfile for 
# Source directory: /work/main/db
# Build directory: /work/main/build-bench/db
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
include("/work/main/build-bench/db/db_test[1]_include.cmake")
include("/work/main/build-bench/db/jet_sql_test[1]_include.cmake")
include("/work/main/build-bench/db/sqlite_connection_test[1]_include.cmake")
