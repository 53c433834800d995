cmake_minimum_required(VERSION 3.25)
# Fails when a program (the player, clockpack) imports a DLL that a plain
# Windows does not have (for example the mingw runtime's libwinpthread-1.dll
# or libstdc++-6.dll), or one the loader would look for in the program's own
# folder first: only Windows' known DLLs, and comctl32.dll, which the
# manifest takes from the system's side-by-side store. Anything else is
# bound at run time from the system folder (WINMM.dll).
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${EXE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
set(allowed kernel32.dll user32.dll gdi32.dll shell32.dll advapi32.dll comctl32.dll comdlg32.dll
            ole32.dll oleaut32.dll msvcrt.dll shlwapi.dll)
set(found "")
foreach(line IN LISTS lines)
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  list(APPEND found ${dll})
  if(NOT dll IN_LIST allowed AND NOT dll MATCHES "^api-ms-win-")
    message(FATAL_ERROR "${EXE} imports ${dll}, which is no known system DLL")
  endif()
endforeach()
if(NOT found)
  message(FATAL_ERROR "no imports found in ${EXE}: objdump output not understood")
endif()
message(STATUS "imports: ${found}")
