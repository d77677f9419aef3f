# Tests of a cross build run under Wine. Some machines cannot execute 32-bit Linux programs,
# and so cannot run Wine's 32-bit loader: there only the checks of the built images are
# registered, and the configure step says so.
list(GET CMAKE_CROSSCOMPILING_EMULATOR 1 wine_loader)
find_program(WINE_LOADER_PATH NAMES ${wine_loader} PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(WINE_LOADER_PATH NAMES ${wine_loader})
set(KESTROVANE_RUN_WINDOWS_PROGRAMS OFF)
if(WINE_LOADER_PATH)
  execute_process(COMMAND ${WINE_LOADER_PATH} --version
    RESULT_VARIABLE wine_result OUTPUT_QUIET ERROR_QUIET)
  if(wine_result EQUAL 0)
    set(KESTROVANE_RUN_WINDOWS_PROGRAMS ON)
  endif()
endif()
if(NOT KESTROVANE_RUN_WINDOWS_PROGRAMS)
  message(WARNING "${wine_loader} cannot run on this machine (Debian: wine, wine32:i386 or "
                  "wine64): the tests that run Windows programs are not registered, only the "
                  "checks of the built images.")
endif()
