# The hardening distributions give their packages: the stack protector, stack-clash and
# control-flow protection, fortified C library calls, PIE with full RELRO on Linux; on
# Windows the stack protector (MinGW-w64 links its runtime in, so no DLL comes with it) and
# the PE flags that ASLR, DEP, terminal servers and 32-bit exception dispatch read. Each
# compile flag is used only where the compiler takes it, so that every architecture builds.
# All of it goes on quinbray_build_options, which every target of the program links.
include(CheckCXXCompilerFlag)

foreach(flag -fstack-protector-strong -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "QUINBRAY_TAKES${flag}" takes)
    check_cxx_compiler_flag(${flag} ${takes})
    if(${takes})
        target_compile_options(quinbray_build_options INTERFACE ${flag})
    endif()
endforeach()

if(WIN32)
    # The stack protector's runtime is a library of its own there, linked in statically.
    if(QUINBRAY_TAKES_fstack_protector_strong)
        target_link_options(quinbray_build_options INTERFACE -fstack-protector-strong)
    endif()
    target_link_options(quinbray_build_options INTERFACE -Wl,--dynamicbase -Wl,--nxcompat
                        -Wl,--tsaware)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        target_link_options(quinbray_build_options INTERFACE -Wl,--high-entropy-va)
    else()
        # 32-bit Windows dispatches exceptions to handlers listed on the stack, which an
        # overflow can overwrite. The program registers none (GCC's exceptions unwind by
        # tables), so it says so, and Windows runs no handler of its. Control Flow Guard
        # would need the compiler's checks, which GCC does not make (-mguard=cf is
        # clang's), and a load-config directory, which GNU ld does not write.
        target_link_options(quinbray_build_options INTERFACE -Wl,--no-seh)
    endif()
else()
    # Fortification needs the optimiser, which every hardened build type runs.
    target_compile_options(quinbray_build_options INTERFACE -U_FORTIFY_SOURCE
                           -D_FORTIFY_SOURCE=3)
    target_link_options(quinbray_build_options INTERFACE -Wl,-z,relro -Wl,-z,now)
    # Consumers of the options take position-independent code from them, and executables
    # are then linked as PIE.
    include(CheckPIESupported)
    check_pie_supported()
    set_property(TARGET quinbray_build_options PROPERTY INTERFACE_POSITION_INDEPENDENT_CODE ON)
endif()
