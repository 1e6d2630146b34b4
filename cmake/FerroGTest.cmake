# GoogleTest: from its sources for cross builds (Debian ships them in /usr/src/googletest) and
# for Visual Studio when FERRO_GTEST_SOURCE_DIR names a checkout, else the installed package.
# The Windows tests link the C runtime statically, as the program does, so GoogleTest is
# built the same way (gtest_force_shared_crt off); an installed GoogleTest must match.

set(FERRO_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources to build with")

if((CMAKE_CROSSCOMPILING OR MSVC) AND EXISTS "${FERRO_GTEST_SOURCE_DIR}/CMakeLists.txt")
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(${FERRO_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    if(NOT TARGET GTest::gtest)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
else()
    find_package(GTest REQUIRED)
endif()

# A test executable over the given sources.
function(ferro_test_executable target)
    add_executable(${target} ${ARGN})
    target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main)
    target_compile_options(${target} PRIVATE ${FERRO_WARNINGS})
    ferro_static_runtime(${target})
endfunction()
