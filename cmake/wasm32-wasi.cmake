# Compiles for the browser: WebAssembly with the WASI C library and libc++, from Debian's
# clang-19, lld-19, wasi-libc and libc++-19-dev-wasm32. CMake 3.25 has no WASI platform of
# its own, so the system is Generic and the program's file name ends in .wasm.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(CMAKE_C_COMPILER clang-19)
set(CMAKE_CXX_COMPILER clang++-19)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_SYSROOT /usr) # headers in /usr/include/wasm32-wasi, libraries in /usr/lib/wasm32-wasi

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
