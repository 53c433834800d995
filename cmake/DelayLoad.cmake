# System DLLs the player needs only after its window shows (the tray icon,
# the dialogs, the Flash face's hosting): linked for delay-loading, so the
# loader maps them at their first call instead of before wWinMain. The
# delay-load helper loads them by name, from the system folder only once
# wWinMain has restricted the search. Each .def lists the functions used.
find_program(DC_DLLTOOL NAMES x86_64-w64-mingw32-dlltool REQUIRED)
set(DC_DELAYLOAD_LIBS "")
foreach(dll ole32 oleaut32 comctl32 shell32)
  set(lib ${CMAKE_BINARY_DIR}/delayload/lib${dll}_delay.a)
  add_custom_command(OUTPUT ${lib}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delayload
                     COMMAND ${DC_DLLTOOL} --input-def ${CMAKE_CURRENT_LIST_DIR}/delayload/${dll}.def
                             --output-delaylib ${lib}
                     DEPENDS ${CMAKE_CURRENT_LIST_DIR}/delayload/${dll}.def VERBATIM)
  list(APPEND DC_DELAYLOAD_LIBS ${lib})
endforeach()
add_custom_target(dc_delayload_libs DEPENDS ${DC_DELAYLOAD_LIBS})
