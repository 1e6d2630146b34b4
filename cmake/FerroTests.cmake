# Test registration for the Windows build: in-process tests under Wine and end-to-end tests.
#
#   ferro_add_wine_test(NAME <name> TARGET <target> [ARGS ...] [LANG <lang>]
#                       [TIMEOUT <seconds>] [LABELS ...])
#   ferro_add_e2e_test(NAME <name> SCRIPT <file.py> [TIMEOUT <seconds>] [LABELS ...])
#
# On the Linux cross build ctest puts the cross-compiling emulator (cmake/wine-run) in front
# of every test executable, so each one runs in its own Wine prefix and X display. The
# environment tells wine-run where the build tree (and so its template prefix) is, and which
# probe holds the shell desktop up while the test runs.
include_guard(GLOBAL)

set(FERRO_WINE_TEST_TIMEOUT 300 CACHE STRING "Seconds one Windows test executable may run")
set(FERRO_E2E_TEST_TIMEOUT 180 CACHE STRING "Seconds one end-to-end test file may run")

# Keeps the tests independent of the locale of whoever runs ctest; Japanese tests ask for
# ja_JP.UTF-8 (code page 932) themselves.
set(FerroDefaultTestLang C.UTF-8)

# The probe is defined in tests/e2e, which may be added after the tests that use it.
set(FerroProbeFile "$<$<TARGET_EXISTS:fgprobe>:$<TARGET_FILE:fgprobe>>")

function(ferro_add_wine_test)
    cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;TARGET;LANG;TIMEOUT" "ARGS;LABELS")
    if(NOT arg_NAME OR NOT arg_TARGET)
        message(FATAL_ERROR "ferro_add_wine_test: NAME and TARGET are required")
    endif()
    if(arg_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "ferro_add_wine_test(${arg_NAME}): unknown arguments "
                            "${arg_UNPARSED_ARGUMENTS}")
    endif()
    if(NOT arg_LANG)
        set(arg_LANG ${FerroDefaultTestLang})
    endif()
    if(NOT arg_TIMEOUT)
        set(arg_TIMEOUT ${FERRO_WINE_TEST_TIMEOUT})
    endif()

    set(labels wine ${arg_LABELS})

    # A bare target name as COMMAND (not $<TARGET_FILE:...>) is what makes CMake put the
    # target's CROSSCOMPILING_EMULATOR in front of it.
    if(NOT TARGET ${arg_TARGET})
        message(FATAL_ERROR "ferro_add_wine_test(${arg_NAME}): no target ${arg_TARGET}")
    endif()
    add_test(NAME ${arg_NAME} COMMAND ${arg_TARGET} ${arg_ARGS})
    set_tests_properties(${arg_NAME} PROPERTIES
        TIMEOUT ${arg_TIMEOUT}
        LABELS "${labels}"
        ENVIRONMENT "LANG=${arg_LANG};FERRO_BUILD=${CMAKE_BINARY_DIR};FERRO_WINE_KEEPER=${FerroProbeFile}")
endfunction()

function(ferro_add_e2e_test)
    cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;SCRIPT;TIMEOUT" "LABELS")
    if(NOT arg_NAME OR NOT arg_SCRIPT)
        message(FATAL_ERROR "ferro_add_e2e_test: NAME and SCRIPT are required")
    endif()
    if(arg_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "ferro_add_e2e_test(${arg_NAME}): unknown arguments "
                            "${arg_UNPARSED_ARGUMENTS}")
    endif()
    # The end-to-end layer drives Wine inside Xvfb: it exists on the Linux cross build only.
    if(NOT CMAKE_CROSSCOMPILING OR NOT CMAKE_HOST_UNIX)
        return()
    endif()
    if(NOT arg_TIMEOUT)
        set(arg_TIMEOUT ${FERRO_E2E_TEST_TIMEOUT})
    endif()
    find_package(Python3 3.9 REQUIRED COMPONENTS Interpreter)

    set(labels e2e ${arg_LABELS})
    get_filename_component(script ${arg_SCRIPT} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    # Fall back to the expected output paths while a target is missing, so that configuring
    # still works; the harness reports the missing file.
    set(exe "$<IF:$<TARGET_EXISTS:ferrogauge>,$<TARGET_FILE:ferrogauge>,${CMAKE_BINARY_DIR}/ferrogauge.exe>")
    set(probe "$<IF:$<TARGET_EXISTS:fgprobe>,$<TARGET_FILE:fgprobe>,${CMAKE_CURRENT_BINARY_DIR}/fgprobe.exe>")

    add_test(NAME ${arg_NAME} COMMAND ${Python3_EXECUTABLE} -B ${script} -v
             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${arg_NAME} PROPERTIES
        TIMEOUT ${arg_TIMEOUT}
        LABELS "${labels}"
        ENVIRONMENT "FERRO_EXE=${exe};FERRO_PROBE=${probe};FERRO_BUILD=${CMAKE_BINARY_DIR};FERRO_WINE_RUN=${CMAKE_CURRENT_FUNCTION_LIST_DIR}/wine-run")
endfunction()
