# The Windows platform layer, telo_platform: the machine's drives and folders
# (env_windows.cpp) and cnMain over ADO (ado/). Included by db/CMakeLists.txt
# in Windows builds; it adds no DLL beyond Windows' own (ole32, oleaut32).
set(TELO_DB_DIR ${CMAKE_CURRENT_LIST_DIR})

add_library(telo_platform STATIC
  ${TELO_DB_DIR}/env_windows.cpp
  ${TELO_DB_DIR}/ado/ado_connection.cpp
  ${TELO_DB_DIR}/ado/com_apartment.cpp
  ${TELO_DB_DIR}/ado/utf16.cpp
  ${TELO_DB_DIR}/ado/variant_value.cpp
)
# oleaut32 before ole32: both import libraries offer GetErrorInfo and
# SetErrorInfo; they come from oleaut32.dll, where Microsoft documents them.
target_link_libraries(telo_platform PUBLIC telo_db oleaut32 ole32 uuid)

# adoint.h's backward-compatible part (see ado_connection.cpp) needs
# -fpermissive (the diagnostics come from the system header and stay silent;
# -Werror still guards our own code).
set_source_files_properties(${TELO_DB_DIR}/ado/ado_connection.cpp PROPERTIES
  COMPILE_OPTIONS -fpermissive)

telo_add_test(platform_test
  SOURCES
    ${TELO_DB_DIR}/env_windows_test.cpp
    ${TELO_DB_DIR}/ado/variant_value_test.cpp
  LIBS telo_platform)

# The tests of cnMain over ADO run against the ADO double, under Wine only.
if(CMAKE_CROSSCOMPILING_EMULATOR)
  include(${TELO_DB_DIR}/ado/double/double.cmake)
  telo_ado_double_test(ado_connection_test
    SOURCES
      ${TELO_DB_DIR}/ado/ado_connection_test.cpp
      ${TELO_DB_DIR}/ado/ado_conformance_test.cpp
      ${TELO_DB_DIR}/connection_conformance.cpp
      ${TELO_DB_DIR}/ado/double/connection_object_test.cpp
    LIBS telo_platform)
  set_source_files_properties(${TELO_DB_DIR}/ado/double/connection_object_test.cpp PROPERTIES
    COMPILE_OPTIONS "${TELO_DOUBLE_TARGET};-fpermissive")
  telo_ado_double_test(ado_update_run_test
    SOURCES ${TELO_DB_DIR}/ado/ado_update_run_test.cpp
    LIBS telo_platform telo_app telo_testing)
endif()
