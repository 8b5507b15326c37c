# The mingw-w64 cross-build for the processor the toolchain file names; ctest
# runs the results under Wine, through the build tree's wine-exec wrapper
# (tests/CMakeLists.txt).
set(CMAKE_SYSTEM_NAME Windows)
set(VELMARIS_MINGW ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
# The -posix variants provide std::mutex, which GoogleTest needs.
set(CMAKE_C_COMPILER ${VELMARIS_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMARIS_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMARIS_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VELMARIS_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
