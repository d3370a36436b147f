# The files a Linux desktop and Debian expect beside the programs: manual pages, bash
# completion, AppStream metadata, and the package's copyright and changelog. Included by
# packaging/CMakeLists.txt; the GNUInstallDirs variables and VANTER_* settings come from there.

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/changelog ${PROJECT_SOURCE_DIR}/LICENSE
    ${PROJECT_SOURCE_DIR}/docs/man/files.scd ${PROJECT_SOURCE_DIR}/docs/man/environment.scd)
set(generated ${CMAKE_CURRENT_BINARY_DIR}/generated)
find_program(VANTER_GZIP gzip REQUIRED)

# The release: the top entry of packaging/changelog (Debian's format) names the project version,
# and its date is the AppStream release date.
file(READ changelog changelog)
if(NOT changelog MATCHES "^vanter3 \\(([^)]+)\\)" OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "packaging/changelog: its top entry is not version ${PROJECT_VERSION}")
endif()
if(NOT changelog MATCHES "\n -- [^\n]+>  [A-Z][a-z][a-z], ([0-9][0-9]?) ([A-Z][a-z][a-z]) ([0-9]+) ")
    message(FATAL_ERROR "packaging/changelog: no date in the trailer of its top entry")
endif()
set(day ${CMAKE_MATCH_1})
set(year ${CMAKE_MATCH_3})
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months "${CMAKE_MATCH_2}" month)
if(month EQUAL -1)
    message(FATAL_ERROR "packaging/changelog: unknown month '${CMAKE_MATCH_2}'")
endif()
math(EXPR month "${month} + 1")
string(REGEX REPLACE "^([0-9])$" "0\\1" month ${month})
string(REGEX REPLACE "^([0-9])$" "0\\1" day ${day})
set(VANTER_RELEASE_DATE ${year}-${month}-${day})

# copyright in the machine-readable format, from LICENSE: its copyright line, then its text with
# each line indented and each empty line a " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
if(NOT license MATCHES "\nCopyright \\(c\\) ([^\n]+)\n\n(.+)$")
    message(FATAL_ERROR "LICENSE: no copyright line followed by the licence text")
endif()
set(VANTER_COPYRIGHT "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" license_text)
string(REGEX REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REPLACE "\n" "\n " VANTER_LICENSE_TEXT " ${license_text}")
configure_file(copyright.in ${generated}/copyright @ONLY)

# Compressed as Debian wants them: gzip -9 without name and time stamp.
set(compressed)
function(vanter_gzip source target)
    add_custom_command(OUTPUT ${target}
        COMMAND sh -c "\"$0\" -9n -c \"$1\" > \"$2\"" ${VANTER_GZIP} ${source} ${target}
        DEPENDS ${source} VERBATIM)
    set(compressed ${compressed} ${target} PARENT_SCOPE)
endfunction()

vanter_gzip(${CMAKE_CURRENT_SOURCE_DIR}/changelog ${generated}/changelog.gz)
install(FILES ${generated}/copyright ${generated}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The manual pages: docs/man/<page>.1.scd, with the version and the sections the two pages share
# filled in, made into troff by scdoc.
find_program(VANTER_SCDOC scdoc)
if(VANTER_SCDOC)
    file(READ ${PROJECT_SOURCE_DIR}/docs/man/files.scd FILES)
    file(READ ${PROJECT_SOURCE_DIR}/docs/man/environment.scd ENVIRONMENT)
    set(VERSION ${PROJECT_VERSION})
    set(pages vanter3-cli)
    if(TARGET vanter3)
        list(APPEND pages vanter3)
    endif()
    foreach(page IN LISTS pages)
        set(scd ${generated}/${page}.1.scd)
        configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page}.1.scd ${scd} @ONLY)
        add_custom_command(OUTPUT ${generated}/${page}.1
            COMMAND sh -c "\"$0\" < \"$1\" > \"$2\"" ${VANTER_SCDOC} ${scd} ${generated}/${page}.1
            DEPENDS ${scd} VERBATIM)
        vanter_gzip(${generated}/${page}.1 ${generated}/${page}.1.gz)
        install(FILES ${generated}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endforeach()
elseif(COMMAND vanter_missing_test_tool)
    vanter_missing_test_tool(scdoc scdoc "the manual pages and the package test")
else()
    message(WARNING "scdoc not found (./bootstrap installs it): the manual pages are left out")
endif()
add_custom_target(vanter_compressed_docs ALL DEPENDS ${compressed})

install(FILES vanter3-cli.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME vanter3-cli)

if(TARGET vanter3)
    configure_file(vanter3.metainfo.xml.in ${generated}/${VANTER_APPSTREAM_ID}.metainfo.xml @ONLY)
    install(FILES ${generated}/${VANTER_APPSTREAM_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

if(VANTER_BUILD_TESTS)
    vanter_find_test_tool(VANTER_BASH bash PACKAGE bash FOR "the completion test")
    if(VANTER_BASH)
        add_test(NAME bash_completion
            COMMAND ${VANTER_BASH} ${CMAKE_CURRENT_SOURCE_DIR}/completion_test.sh
                    ${CMAKE_CURRENT_SOURCE_DIR}/vanter3-cli.bash $<TARGET_FILE:vanter3-cli>)
        set_tests_properties(bash_completion PROPERTIES TIMEOUT 30)
    endif()
endif()
