# GoogleTest and GoogleMock for cross builds, compiled from Debian's sources
# in /usr/src/googletest (package googletest), since the host's prebuilt
# libraries can't link into Windows programs. Provides the same imported
# names that find_package(GTest) gives natively: GTest::gtest, GTest::gmock,
# GTest::gtest_main and GTest::gmock_main. Included by cmake/testing.cmake.
set(TELO_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
if(NOT EXISTS ${TELO_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${TELO_GOOGLETEST_SOURCE_DIR} "
    "(install the Debian package googletest, see scripts/bootstrap)")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(${TELO_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# GoogleTest's custom port header from googletest-win32/ comes before its
# own: a Notification for the win32 thread model (see the header).
target_include_directories(gtest BEFORE PUBLIC ${CMAKE_CURRENT_LIST_DIR}/googletest-win32)
target_sources(gtest PRIVATE ${CMAKE_CURRENT_LIST_DIR}/googletest-win32/notification.cpp)

# The project's -Werror is for the project's own code: a warning inside
# GoogleTest must not stop the build.
foreach(target gtest gtest_main gmock gmock_main)
  get_target_property(options ${target} COMPILE_OPTIONS)
  if(options)
    list(REMOVE_ITEM options -Werror)
    set_target_properties(${target} PROPERTIES COMPILE_OPTIONS "${options}")
  endif()
  target_compile_options(${target} PRIVATE -w)
  if(NOT TARGET GTest::${target})
    add_library(GTest::${target} ALIAS ${target})
  endif()
endforeach()
