# GoogleTest for every platform: Debian's library on the host, and on Windows the sources
# Debian ships in /usr/src/googletest, built once with the mingw toolchain in this build tree.
if(NOT TLE_BUILD_TESTS)
  return()
endif()
enable_testing()
include(GoogleTest)

if(TLE_WINDOWS)
  set(TLE_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build for Windows")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${TLE_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/third_party/googletest EXCLUDE_FROM_ALL SYSTEM)
  set(TLE_GTEST_MAIN GTest::gtest_main)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gmock ALIAS gmock)
  endif()
else()
  find_package(GTest REQUIRED)
endif()

# tle_add_test(NAME SOURCES files... LIBRARIES libs... [WORKING_DIRECTORY dir] [PROPERTIES props...]
#              [WINDOWS_LAUNCHER command...])
# Host: each test case is its own ctest test. Windows: one ctest test per executable, run
# under wine64 through the cross-compiling emulator (starting Wine per case costs seconds),
# behind the launcher command when one is given.
function(tle_add_test name)
  cmake_parse_arguments(ARG "" "WORKING_DIRECTORY" "SOURCES;LIBRARIES;PROPERTIES;WINDOWS_LAUNCHER" ${ARGN})
  if(NOT ARG_WORKING_DIRECTORY)
    set(ARG_WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest_main GTest::gtest tle_options)
  if(TLE_WINDOWS)
    if(CMAKE_CROSSCOMPILING_EMULATOR AND ARG_WINDOWS_LAUNCHER)
      add_test(NAME ${name} COMMAND ${ARG_WINDOWS_LAUNCHER} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>
               WORKING_DIRECTORY ${ARG_WORKING_DIRECTORY})
      set_tests_properties(${name} PROPERTIES TIMEOUT 300 ${ARG_PROPERTIES})
    elseif(CMAKE_CROSSCOMPILING_EMULATOR)
      add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${ARG_WORKING_DIRECTORY})
      set_tests_properties(${name} PROPERTIES TIMEOUT 300 ${ARG_PROPERTIES})
    endif()
  else()
    gtest_discover_tests(${name} WORKING_DIRECTORY ${ARG_WORKING_DIRECTORY} DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT 120 ${ARG_PROPERTIES})
  endif()
endfunction()
