# GoogleTest for a cross-build. Debian's libgtest-dev holds binaries for the build machine
# only; its package "googletest" holds the sources in /usr/src/googletest, which are built here
# for the target. An installed GoogleTest for the target is used when there is one.

# The test programs run through CMAKE_CROSSCOMPILING_EMULATOR (wine): list their tests when
# ctest runs them, so that building needs no emulator.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

find_package(GTest QUIET)
if(NOT GTest_FOUND)
    set(VANTER_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
    if(NOT EXISTS ${VANTER_GTEST_SOURCE_DIR}/CMakeLists.txt)
        message(FATAL_ERROR "No GoogleTest for the target and no sources in "
                            "${VANTER_GTEST_SOURCE_DIR} (Debian package googletest)")
    endif()
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    # Its headers count as system headers; its code is built with its own options only
    # (cmake/Flags.cmake gives ours to the project's targets).
    add_subdirectory(${VANTER_GTEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest
                     EXCLUDE_FROM_ALL SYSTEM)
    if(NOT TARGET GTest::gtest_main)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
endif()
