# Compiler settings of the product and the tests, kept per compiler.

if(MSVC)
    set(FERRO_WARNINGS /W4 /permissive- /utf-8)
else()
    set(FERRO_WARNINGS -Wall -Wextra)
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
