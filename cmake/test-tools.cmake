# Programs that some tests need (xvfb-run, xdotool, dpkg-deb, srec_cat, ...). Where one is
# missing those tests are left out or skip themselves, with a note here; under CI (the
# environment variable CI is "true" when configuring) a missing one fails the configure step
# instead, so that no test drops out unseen.
#   vanter_find_test_tool(<var> <program> PACKAGE <Debian package> FOR <the tests>
#                         [PATHS <folders>...])
#   vanter_missing_test_tool(<what is missing> <Debian package> <the tests>)

function(vanter_missing_test_tool missing package tests)
    if("$ENV{CI}" STREQUAL "true")
        message(FATAL_ERROR "${missing} not found (Debian package ${package}), needed for "
                            "${tests}: under CI (CI=true) no test may drop out")
    endif()
    message(STATUS "${missing} not found (Debian package ${package}): without ${tests}")
endfunction()

function(vanter_find_test_tool var program)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "PACKAGE;FOR" "PATHS")
    find_program(${var} NAMES ${program} PATHS ${arg_PATHS})
    if(NOT ${var})
        vanter_missing_test_tool(${program} ${arg_PACKAGE} "${arg_FOR}")
    endif()
endfunction()
