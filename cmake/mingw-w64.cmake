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

# Tests run through wine, in a prefix of the build's own (tests/CMakeLists.txt);
# GUI tests need a display from the caller.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# Line tables only: enough for x86_64-w64-mingw32-addr2line to turn the addresses
# of a backtrace under wine into functions and lines, while objects and the
# statically linked test programs are a third of the size and the build takes a
# quarter less time than with full debug information.
set(CMAKE_C_FLAGS_RELWITHDEBINFO "-O2 -g1 -DNDEBUG" CACHE STRING "")
set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-O2 -g1 -DNDEBUG" CACHE STRING "")
