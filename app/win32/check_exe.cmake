# Checks a built Windows program: under 1 MB; importing only DLLs that come
# with Windows; no manifest; a complete version resource (the fields in
# version_fields), with VERSION as its FileVersion and ProductVersion when
# given; no installer word ("instal", "setup", "updat", "patch", any case) in
# its file name or any version string, which would make Windows ask for
# elevation. With XP_IMPORTS (the shipped i686 build) also: every imported
# function is in that reviewed list of functions that Windows XP SP3 has, and
# the PE header asks for no Windows after XP (5.1).
#
#   cmake -DOBJDUMP=<objdump> -DWINDRES=<windres> -DEXE=<exe>
#         [-DXP_IMPORTS=<list>] [-DVERSION=<version>] -P check_exe.cmake
#
# Prints the size and the number of imported functions.
cmake_minimum_required(VERSION 3.25)
set(windows_dlls advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
    oleaut32.dll shell32.dll user32.dll version.dll)
set(installer_words instal setup updat patch)
set(version_fields CompanyName FileDescription FileVersion InternalName LegalCopyright
    OriginalFilename ProductName ProductVersion)
get_filename_component(exe_name ${EXE} NAME)
set(problems "")

# Notes a failure; the arguments are joined into its text.
macro(problem)
  string(APPEND problems "\n  ${exe_name}: " ${ARGN})
endmacro()

# Runs a tool on the exe; its output one list entry a line, or a problem.
function(run_tool output)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE result
                  ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    string(STRIP "${errors}" errors)
    get_filename_component(tool "${ARGV1}" NAME)
    problem("${tool} cannot read it: ${errors}")
    set(problems "${problems}" PARENT_SCOPE)
  endif()
  string(REPLACE ";" "\\;" text "${text}")
  string(REPLACE "\n" ";" text "${text}")
  set(${output} "${text}" PARENT_SCOPE)
endfunction()

function(check_installer_words what text)
  string(TOLOWER "${text}" lower)
  foreach(word ${installer_words})
    string(FIND "${lower}" "${word}" at)
    if(at GREATER_EQUAL 0)
      problem("${what} \"${text}\" holds \"${word}\": Windows would take it for an installer")
      set(problems "${problems}" PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

file(SIZE ${EXE} size)
if(size GREATER_EQUAL 1048576)
  problem("${size} bytes, not under 1 MB")
endif()
check_installer_words("the file name" "${exe_name}")

# Imports: "DLL Name: X" starts a DLL's entries, "<vma> <hint> <name>" each
# (<none> for an import by ordinal, listed as "@<ordinal>").
run_tool(dump ${OBJDUMP} -p ${EXE})
set(imports "")
set(dlls "")
set(dll "")
foreach(line IN LISTS dump)
  if(line MATCHES "^\tDLL Name: (.+)$")
    string(TOLOWER "${CMAKE_MATCH_1}" dll)
    list(APPEND dlls ${dll})
    if(NOT dll IN_LIST windows_dlls)
      problem("imports ${dll}, which Windows does not provide")
    endif()
  elseif(dll AND line MATCHES "^\t[0-9a-f]+\t +([0-9]+)  ([^ ]+)")
    set(name "${CMAKE_MATCH_2}")
    if(name STREQUAL "<none>")
      set(name "@${CMAKE_MATCH_1}")
    endif()
    list(APPEND imports "${dll} ${name}")
  elseif(line MATCHES "^(Major|Minor)(OSystem|Subsystem)Version\t+([0-9]+)$")
    set(${CMAKE_MATCH_2}_${CMAKE_MATCH_1} ${CMAKE_MATCH_3})
  endif()
endforeach()
list(REMOVE_DUPLICATES imports)
list(LENGTH imports import_count)
list(LENGTH dlls dll_count)
if(import_count EQUAL 0)
  problem("imports no function at all: not a Windows program?")
endif()

if(XP_IMPORTS)
  file(STRINGS ${XP_IMPORTS} reviewed REGEX "^[^#]")
  foreach(entry ${imports})
    if(NOT entry IN_LIST reviewed)
      string(REPLACE " " "!" shown "${entry}")
      problem("imports ${shown}, which is not in the reviewed list of functions that Windows "
              "XP SP3 has (${XP_IMPORTS})")
    endif()
  endforeach()
  foreach(kind OSystem Subsystem)
    set(version "${${kind}_Major}.${${kind}_Minor}")
    if(NOT version MATCHES "^[0-9]+\\.[0-9]+$" OR version VERSION_GREATER 5.1)
      problem("Major${kind}Version.Minor${kind}Version is ${version} in the PE header, "
              "not at most XP's 5.1")
    endif()
  endforeach()
endif()

# Resources, as windres decompiles them: the version strings and the type of
# each resource ("<name> 24" is RT_MANIFEST).
run_tool(resources ${WINDRES} -i ${EXE} -O rc)
set(fields_found "")
foreach(line IN LISTS resources)
  if(line MATCHES "^ *VALUE \"([A-Za-z]+)\", \"(.*)\"$")
    set(field "${CMAKE_MATCH_1}")
    set(value "${CMAKE_MATCH_2}")
    list(APPEND fields_found ${field})
    check_installer_words("the version string ${field}" "${value}")
    if(DEFINED VERSION AND field MATCHES "^(File|Product)Version$" AND NOT value STREQUAL VERSION)
      problem("its ${field} is \"${value}\", not the project's version ${VERSION}")
    endif()
  elseif(line MATCHES "^[^ /]+ 24 " OR line MATCHES "RT_MANIFEST")
    problem("carries a manifest (RT_MANIFEST), but it must run with no requested execution level")
  endif()
endforeach()
foreach(field ${version_fields})
  if(NOT field IN_LIST fields_found)
    problem("its version resource has no ${field} string")
  endif()
endforeach()

message(STATUS "${exe_name}: ${size} bytes, ${import_count} imported functions from "
               "${dll_count} DLLs")
if(problems)
  message(FATAL_ERROR "${problems}")
endif()
