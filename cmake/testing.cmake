# telo_add_test(NAME SOURCES... LIBS...): one GoogleTest program beside the
# code it tests. Native builds register each test case with ctest; cross
# builds register the program once, run through CMAKE_CROSSCOMPILING_EMULATOR.
# With TELO_BUILD_TESTS off, this and telo_ado_double_test add nothing and
# GoogleTest isn't needed; a caller that sets more on a test checks
# TELO_BUILD_TESTS itself.
if(TELO_BUILD_TESTS AND CMAKE_CROSSCOMPILING)
  include(${CMAKE_CURRENT_LIST_DIR}/googletest-cross.cmake)
elseif(TELO_BUILD_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

function(telo_add_test name)
  if(NOT TELO_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
  endif()
endfunction()

# telo_ado_double_test(NAME SOURCES... LIBS...): a test program that drives
# ADO, run with the ADO double (testing/ado_double) registered in the test
# Wine prefix. Only builds whose tests run under Wine have the double; a
# native Windows build would register it on the machine, so there (and on
# POSIX) this adds nothing.
function(telo_ado_double_test name)
  if(NOT (TELO_BUILD_TESTS AND WIN32 AND CMAKE_CROSSCOMPILING_EMULATOR))
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  telo_add_test(${name} SOURCES ${ARG_SOURCES} LIBS ${ARG_LIBS} telo_ado_double_testing)
  add_dependencies(${name} ado_double)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ado_double)
endfunction()
