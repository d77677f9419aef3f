# GoogleTest is built from the sources Debian's googletest package installs, so the native
# and the cross build use the same copy.
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${GOOGLETEST_SOURCE_DIR} (Debian: googletest)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

set(KESTROVANE_RUN_WINDOWS_PROGRAMS ON)
if(CMAKE_CROSSCOMPILING)
  include(${CMAKE_CURRENT_LIST_DIR}/WineProbe.cmake)
endif()

# Registers each case of a GoogleTest program as a test of its own.
# A fuzz build builds only its fuzz target, so it registers none of these.
function(kestrovane_add_gtest target)
  if(KESTROVANE_RUN_WINDOWS_PROGRAMS AND NOT KESTROVANE_FUZZ)
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 ${ARGN})
  endif()
endfunction()
