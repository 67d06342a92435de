# The POSIX platform layer: drives of a Wine-style prefix and the SQLite
# stand-in connection. Included by db/CMakeLists.txt on every non-Windows build.
find_package(SQLite3 REQUIRED)

add_library(telo_platform STATIC
  env_posix.cpp
  wine_prefix.cpp
  sqlite/jet_sql.cpp
  sqlite/jet_values.cpp
  sqlite/sqlite_connection.cpp
  sqlite/stand_in_file.cpp
)
target_link_libraries(telo_platform PUBLIC telo_db SQLite::SQLite3)

telo_add_test(wine_prefix_test SOURCES wine_prefix_test.cpp env_posix_test.cpp LIBS telo_platform)
telo_add_test(jet_sql_test SOURCES sqlite/jet_sql_test.cpp LIBS telo_platform)
telo_add_test(sqlite_connection_test
  SOURCES sqlite/sqlite_connection_test.cpp sqlite/sqlite_conformance_test.cpp
          connection_conformance.cpp
  LIBS telo_platform telo_fault_injection)
