# Cross build for Windows with mingw-w64; the including toolchain file sets MINGW_TRIPLET and
# WINE_LOADER. The posix-thread compilers are used: their libstdc++ has std::mutex and
# std::thread, which the library and GoogleTest need.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
set(CMAKE_DLLTOOL ${MINGW_TRIPLET}-dlltool)
set(CMAKE_OBJDUMP ${MINGW_TRIPLET}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests run under Wine, with a prefix of the build's own (see wine-run.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${WINE_LOADER}
    ${CMAKE_BINARY_DIR}/wineprefix)
