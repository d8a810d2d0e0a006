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

# The program's PE headers tell the loader what it may do with it: move it anywhere (ASLR),
# keep data from running (DEP), and that it knows terminal servers; 64-bit programs, that
# their addresses may be anywhere in the 64-bit space. These flags are here, not in a preset,
# because this file owns the link flags: a preset's CMAKE_EXE_LINKER_FLAGS would replace
# these, the runtimes linked in among them.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware")
if(QUINBRAY_MINGW_ARCH STREQUAL "x86_64")
    string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--high-entropy-va")
else()
    # 32-bit Windows dispatches exceptions to handlers listed on the stack, which an
    # overflow can overwrite. The program registers none (GCC's exceptions unwind by
    # tables), so it says so, and Windows runs no handler of its. Control Flow Guard
    # would need the compiler's checks, which GCC does not make (-mguard=cf is
    # clang's), and a load-config directory, which GNU ld does not write.
    string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--no-seh")
endif()
# Release builds ship without symbols.
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")
