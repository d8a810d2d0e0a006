# The hardening distributions give their packages: the stack protector, stack-clash and
# control-flow protection, fortified C library calls, PIE with full RELRO on Linux; on
# Windows the stack protector (MinGW-w64 links its runtime in, so no DLL comes with it) and
# the PE flags that ASLR, DEP and terminal servers read. Each compile flag is used only
# where the compiler takes it, so that every architecture builds.
include(CheckCXXCompilerFlag)

foreach(flag -fstack-protector-strong -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "QUINBRAY_TAKES${flag}" takes)
    check_cxx_compiler_flag(${flag} ${takes})
    if(${takes})
        add_compile_options(${flag})
    endif()
endforeach()

if(WIN32)
    # The stack protector's runtime is a library of its own there, linked in statically.
    if(QUINBRAY_TAKES_fstack_protector_strong)
        add_link_options(-fstack-protector-strong)
    endif()
    add_link_options(-Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        add_link_options(-Wl,--high-entropy-va)
    endif()
else()
    # Fortification needs the optimiser, which every hardened build type runs.
    add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=3)
    add_link_options(-Wl,-z,relro -Wl,-z,now)
    include(CheckPIESupported)
    check_pie_supported()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
