# Cross-builds the 32-bit Windows program with MinGW-w64, and runs what it
# builds (the unit tests) under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

# The program that ships takes the win32 thread model, which links no thread
# library (winpthreads imports functions that Windows XP lacks); GoogleTest
# needs the posix one, so the test build asks for it.
set(GRIDSAW_MINGW_THREADS win32 CACHE STRING "MinGW-w64 thread model: win32 or posix")
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${GRIDSAW_MINGW_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${GRIDSAW_MINGW_THREADS})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# No DLL beside the system's own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE})
