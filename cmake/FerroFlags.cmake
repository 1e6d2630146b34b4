# Compiler settings of the product and the tests, kept per compiler.

if(MSVC)
    set(FERRO_WARNINGS /W4 /permissive- /utf-8)
else()
    set(FERRO_WARNINGS -Wall -Wextra)
endif()

if(MSVC)
    # Every object links the static C runtime, as the programs do (ferro_static_runtime): the
    # libraries and GoogleTest must agree with them or the linker refuses the mix.
    set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
endif()

if(FERRO_SANITIZE AND NOT MSVC)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(FERRO_FUZZ AND NOT MSVC)
    # Coverage for libFuzzer in every object; the fuzz targets link the fuzzer itself.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
    add_compile_definitions(UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601 NOMINMAX)
endif()

# Warnings on, no exceptions: failures are results in the product.
function(ferro_product_flags target)
    target_compile_options(${target} PRIVATE ${FERRO_WARNINGS})
    if(MSVC)
        target_compile_options(${target} PRIVATE /EHs-c-)
    else()
        target_compile_options(${target} PRIVATE -fno-exceptions)
    endif()
endfunction()

# Windows programs carry their C++ runtime, so they need nothing but system DLLs.
function(ferro_static_runtime target)
    if(MINGW)
        target_link_options(${target} PRIVATE -static)
    elseif(MSVC)
        set_property(TARGET ${target} PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
    endif()
endfunction()

# A program whose entry point is wmain: mingw-w64 needs -municode to look for it; MSVC's linker
# finds it on its own.
function(ferro_wide_entry target)
    if(MINGW)
        target_compile_options(${target} PRIVATE -municode)
        target_link_options(${target} PRIVATE -municode)
    endif()
endfunction()

# A program that links the resource script, which embeds the manifest: MSVC's linker must not
# add a manifest of its own (two would collide as resource 1).
function(ferro_own_manifest target)
    if(MSVC)
        target_link_options(${target} PRIVATE /MANIFEST:NO)
    endif()
endfunction()
