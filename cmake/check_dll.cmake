# Fails unless the DLL exports exactly the six entry points under their
# plain names and imports from the system's own DLLs only, as objdump -p
# lists them. Run with -DOBJDUMP=... -DDLL=...
cmake_policy(VERSION 3.22)
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()

string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([^\n]+\n)*)" table "${listing}")
# Brackets would confuse CMake's lists: "[   0] ExitFAR" becomes "0 ExitFAR".
string(REPLACE "[" "" table "${CMAKE_MATCH_1}")
string(REPLACE "]" "" table "${table}")
string(REGEX MATCHALL "[^\n]+" entries "${table}")
set(exports)
foreach(entry ${entries})
  string(REGEX REPLACE "^[ \t]*[0-9]+ " "" name "${entry}")
  list(APPEND exports "${name}")
endforeach()
list(SORT exports)
set(expected ExitFAR GetPluginInfo OpenPlugin ProcessEditorEvent ProcessEditorInput SetStartupInfo)
if(NOT exports STREQUAL expected)
  message(FATAL_ERROR "${DLL} exports: ${exports}; expected: ${expected}")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${listing}")
set(system KERNEL32.DLL MSVCRT.DLL ADVAPI32.DLL VERSION.DLL USER32.DLL)
foreach(entry ${imports})
  string(SUBSTRING "${entry}" 10 -1 import)
  string(TOUPPER "${import}" import)
  if(NOT import IN_LIST system)
    message(FATAL_ERROR "${DLL} imports from ${import}, which is no system DLL")
  endif()
endforeach()
