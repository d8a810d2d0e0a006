# Cross-compiles for Windows with Debian's MinGW-w64: x86_64 by default, or i686 with
# -DQUINBRAY_MINGW_ARCH=i686. The program needs no DLL beyond those of Windows itself:
# the C++ and GCC runtimes are linked in.
set(QUINBRAY_MINGW_ARCH x86_64 CACHE STRING "x86_64 or i686")
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUINBRAY_MINGW_ARCH)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QUINBRAY_MINGW_ARCH})
set(triplet ${QUINBRAY_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
set(CMAKE_RC_COMPILER ${triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The C++ and GCC runtimes are linked in, so the program needs no DLL beyond Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Release builds ship without symbols.
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")
