# Checks a built telo.exe: under 1 MB, and importing only DLLs that
# come with Windows. Run with cmake -DOBJDUMP=<objdump> -DEXE=<exe> -P.
cmake_minimum_required(VERSION 3.25)
set(windows_dlls advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
    oleaut32.dll shell32.dll user32.dll version.dll)

file(SIZE ${EXE} size)
message(STATUS "${EXE}: ${size} bytes")
if(size GREATER_EQUAL 1048576)
  message(FATAL_ERROR "${EXE} is ${size} bytes, not under 1 MB")
endif()

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
if(NOT imports)
  message(FATAL_ERROR "${EXE} imports no DLL at all: not a Windows program?")
endif()
foreach(line ${imports})
  string(REGEX REPLACE "DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  message(STATUS "imports ${dll}")
  if(NOT dll IN_LIST windows_dlls)
    message(FATAL_ERROR "${EXE} imports ${dll}, which Windows does not provide")
  endif()
endforeach()
