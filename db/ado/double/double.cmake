# The ADO double, for tests only: ado_double.dll, a COM in-process server that
# stands in for ADODB.Connection and ADODB.Recordset over Jet fixture files
# (see jet_fixture.h), since Wine has no Jet provider and its own ADO runs no
# statement. It is built into build/win-<arch>/ado-double/, apart from the
# programs, and no program links it. Included by db/windows.cmake.
#
# Under Wine it is registered in the test prefix (build/wine-prefix-*) by the
# fixture ado_double: ado_double_register runs regsvr32 on it before the
# first test that requires the fixture; afterwards ado_double_unregister
# removes it and wine_ado_restore registers Wine's own msado15 again. A
# native Windows build would register it in the machine's registry, so there
# the double and the tests that need it are left out.
set(TELO_DOUBLE_DIR ${CMAKE_CURRENT_LIST_DIR})

add_library(ado_double SHARED
  ${TELO_DOUBLE_DIR}/server.cpp
  ${TELO_DOUBLE_DIR}/connection_object.cpp
  ${TELO_DOUBLE_DIR}/recordset_object.cpp
  ${TELO_DOUBLE_DIR}/errors_object.cpp
  ${TELO_DOUBLE_DIR}/jet_file.cpp
  ${TELO_DOUBLE_DIR}/jet_values.cpp
  ${TELO_DB_DIR}/ado/utf16.cpp
  ${TELO_DOUBLE_DIR}/ado_double.def)
target_link_libraries(ado_double PRIVATE telo_fake_db ole32 oleaut32 uuid advapi32)
# A test-only DLL that never runs on XP: it targets Windows 7, whose headers
# declare adoint.h's backward-compatible part (see db/windows.cmake),
# CompareStringOrdinal and RegDeleteTreeW. The options come after the
# toolchain's XP target on the command line, so they replace it.
set(TELO_DOUBLE_TARGET -U_WIN32_WINNT -UNTDDI_VERSION -D_WIN32_WINNT=0x0601
  -DNTDDI_VERSION=0x06010000)
target_compile_options(ado_double PRIVATE ${TELO_DOUBLE_TARGET} -fpermissive)
# Self-contained like the programs; the .def names the undecorated exports.
target_link_options(ado_double PRIVATE -static -static-libgcc -static-libstdc++
  $<$<STREQUAL:${CMAKE_SYSTEM_PROCESSOR},i686>:-Wl,--enable-stdcall-fixup>)
set_target_properties(ado_double PROPERTIES PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/ado-double)

add_test(NAME ado_double_register
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} regsvr32 /s ado_double.dll
  WORKING_DIRECTORY $<TARGET_FILE_DIR:ado_double>)
add_test(NAME ado_double_unregister
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} regsvr32 /s /u ado_double.dll
  WORKING_DIRECTORY $<TARGET_FILE_DIR:ado_double>)
add_test(NAME wine_ado_restore COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} regsvr32 /s
  "C:\\Program Files\\Common Files\\System\\ado\\msado15.dll")
set_tests_properties(ado_double_register PROPERTIES FIXTURES_SETUP ado_double)
set_tests_properties(ado_double_unregister wine_ado_restore PROPERTIES FIXTURES_CLEANUP ado_double)
set_tests_properties(wine_ado_restore PROPERTIES DEPENDS ado_double_unregister)

add_library(telo_ado_double_testing STATIC ${TELO_DOUBLE_DIR}/fixture_folder.cpp
  ${TELO_DOUBLE_DIR}/host_install.cpp)
target_link_libraries(telo_ado_double_testing PUBLIC telo_fake_db)

# telo_ado_double_test(NAME SOURCES... LIBS...): a test program that drives ADO
# and so runs with the double registered.
function(telo_ado_double_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  telo_add_test(${name} SOURCES ${ARG_SOURCES} LIBS ${ARG_LIBS} telo_ado_double_testing)
  add_dependencies(${name} ado_double)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ado_double)
endfunction()
