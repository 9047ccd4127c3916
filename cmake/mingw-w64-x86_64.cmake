# Cross build for 64-bit Windows with Debian's MinGW-w64 (the -posix variant: the -win32 one has no
# std::thread). Executables are linked statically, so they need no DLL beyond the system's; the
# tests run under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SCENGEN_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SCENGEN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SCENGEN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SCENGEN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SCENGEN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Every test command runs through wine, in a prefix that belongs to this build.
get_filename_component(SCENGEN_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${SCENGEN_SOURCE_ROOT}/tools/wine-run;${CMAKE_BINARY_DIR}/wineprefix")
endif()
# Test discovery runs the test programs too; at test time a wine server is already up.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
