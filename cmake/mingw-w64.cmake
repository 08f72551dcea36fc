# Cross-build for 64-bit Windows with MinGW-w64. The -posix compilers are used:
# the -win32 ones lack std::mutex, which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VELK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run through wine; the caller exports WINEDEBUG and a display as needed.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
