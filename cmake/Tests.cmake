# Test helpers: native GoogleTest from the system, or a Windows GoogleTest
# built from Debian's sources and run under Wine through the emulator.

if(WIN32)
  if(NOT TARGET gtest)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
  set(DC_GTEST gtest gtest_main)
else()
  find_package(GTest REQUIRED)
  set(DC_GTEST GTest::gtest GTest::gtest_main)
endif()

# dc_add_test(NAME SOURCES... LIBS ...): one test program, run whole as one
# CTest test (under Wine a run costs a process start, so cases are not split).
function(dc_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  # The test code itself is built unoptimised, a third faster to compile;
  # the code it tests keeps the product's flags in its libraries.
  target_compile_options(${name} PRIVATE -O0)
  # Every test file includes GoogleTest: parsed once for the program.
  target_precompile_headers(${name} PRIVATE <gtest/gtest.h>)
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${DC_GTEST})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  if(T_TIMEOUT)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  else()
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  endif()
endfunction()
