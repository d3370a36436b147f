# The Debian package, built, checked and tried out without installing it:
#   1. cpack builds the .deb into WORK;
#   2. lintian reports no error and no warning on it;
#   3. its contents list and its dependencies are checked, and it has no maintainer scripts;
#   4. it is unpacked with dpkg-deb -x into a temporary root, where desktop-file-validate,
#      appstreamcli validate --no-net and man --warnings check the menu entry, the AppStream
#      metadata and the manual pages;
#   5. the unpacked vanter3-cli runs --version, and check and download against the stand-in
#      driver, with LD_LIBRARY_PATH unset: the unpacked libPortGate.so is found through the
#      program's RPATH alone (ldd tells which copy was loaded).
# Arguments (-D): CPACK DPKG_DEB CONFIG WORK VERSION GUI QT_MAJOR (of the window) BINDIR
# PRIVATE_LIBDIR DATADIR DOCDIR MANDIR APPSTREAM_ID SAMPLES, and the checkers LINTIAN
# APPSTREAMCLI DESKTOP_FILE_VALIDATE MAN.
cmake_minimum_required(VERSION 3.25)

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "failed (${result}): ${ARGN}\n${out}\n${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
endfunction()

# The libPortGate.so that `program` loads must be the unpacked one.
function(expect_unpacked_library program library)
    run(${env} ldd ${program})
    string(REGEX MATCH "libPortGate\\.so => ([^ \n]+)" line "${out}")
    if(NOT line)
        message(FATAL_ERROR "${program} loads no libPortGate.so:\n${out}")
    endif()
    file(REAL_PATH "${CMAKE_MATCH_1}" loaded)
    file(REAL_PATH "${library}" expected)
    if(NOT loaded STREQUAL expected)
        message(FATAL_ERROR "${program} loads ${loaded}, not ${expected}")
    endif()
    if(out MATCHES "not found")
        message(FATAL_ERROR "${program} misses libraries:\n${out}")
    endif()
endfunction()

function(expect_match text regex what)
    if(NOT text MATCHES "${regex}")
        message(FATAL_ERROR "${what}: '${regex}' not found in:\n${text}")
    endif()
endfunction()

foreach(checker LINTIAN APPSTREAMCLI DESKTOP_FILE_VALIDATE MAN)
    if(NOT ${checker})
        message(FATAL_ERROR "${checker} is not installed: ./bootstrap installs the package checkers")
    endif()
endforeach()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# 1. Build the package. The staging area goes into WORK as well.
run(${CPACK} -G DEB --config ${CONFIG} -B ${WORK})
file(GLOB packages ${WORK}/vanter3_${VERSION}_*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one vanter3_${VERSION}_*.deb in ${WORK}, found: ${packages}")
endif()
list(GET packages 0 package)
message(STATUS "package: ${package}")

# 2. Debian's own checker: no error, no warning; the package carries no overrides. Informational
# tags are shown. Its notice about running as root goes to standard error and is no tag.
execute_process(COMMAND ${LINTIAN} --fail-on error,warning --tag-display-limit 0 --display-info
                        ${package}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "lintian:\n${out}")
if(NOT result EQUAL 0 OR out MATCHES "(^|\n)[EW]: ")
    message(FATAL_ERROR "lintian finds errors or warnings (${result}):\n${out}\n${err}")
endif()

# 3. Contents and dependencies.
run(${DPKG_DEB} --contents ${package})
set(contents "${out}")
set(expected
    usr/${BINDIR}/vanter3-cli
    usr/${PRIVATE_LIBDIR}/libPortGate.so
    usr/${DOCDIR}/cli.md
    usr/${DOCDIR}/README.md
    usr/${DOCDIR}/copyright
    usr/${DOCDIR}/changelog.gz
    usr/${MANDIR}/man1/vanter3-cli.1.gz
    usr/${DATADIR}/bash-completion/completions/vanter3-cli)
if(GUI)
    list(APPEND expected
        usr/${BINDIR}/vanter3
        usr/${MANDIR}/man1/vanter3.1.gz
        usr/${DATADIR}/applications/vanter3.desktop
        usr/${DATADIR}/metainfo/${APPSTREAM_ID}.metainfo.xml
        usr/${DATADIR}/icons/hicolor/32x32/apps/vanter3.png
        usr/${DATADIR}/icons/hicolor/scalable/apps/vanter3.svg)
endif()
foreach(file IN LISTS expected)
    string(REPLACE "." "\\." pattern "${file}")
    expect_match("${contents}" " \\./${pattern}\n" "package contents")
endforeach()
# Nothing outside /usr, no headers or static libraries, and only the expected programs.
string(REGEX MATCHALL " \\./[^\n]*" paths "${contents}")
foreach(path IN LISTS paths)
    if(NOT path MATCHES "^ \\./(usr/.*)?$" OR path MATCHES "\\.(a|h)$|/include/")
        message(FATAL_ERROR "unexpected file in the package: ${path}")
    endif()
    if(path MATCHES "^ \\./usr/${BINDIR}/(.+)$" AND NOT CMAKE_MATCH_1 MATCHES "^vanter3(-cli)?$")
        message(FATAL_ERROR "unexpected program in the package: ${path}")
    endif()
endforeach()

# The private library needs no ldconfig: nothing runs at installation.
run(${DPKG_DEB} --info ${package})
if(out MATCHES "\n +[0-9]+ bytes, +[0-9]+ lines? +[*]? *(preinst|postinst|prerm|postrm|triggers)")
    message(FATAL_ERROR "the package has maintainer scripts or triggers:\n${out}")
endif()

run(${DPKG_DEB} --field ${package} Package Version Depends Section)
set(fields "${out}")
message(STATUS "control fields:\n${fields}")
expect_match("${fields}" "Package: vanter3\n" "control")
expect_match("${fields}" "Version: ${VERSION}\n" "control")
expect_match("${fields}" "Depends:[^\n]*libc6 \\(>=" "dependencies")
expect_match("${fields}" "Depends:[^\n]*libstdc\\+\\+6 \\(>=" "dependencies")
if(GUI)
    expect_match("${fields}" "Depends:[^\n]*libqt${QT_MAJOR}widgets${QT_MAJOR}" "dependencies")
    if(QT_MAJOR STREQUAL "6")
        expect_match("${fields}" "Depends:[^\n]*qt6-qpa-plugins" "dependencies")
    endif()
endif()

# 4. Unpack into a temporary root; the desktop's and man's own checkers.
set(root ${WORK}/root)
run(${DPKG_DEB} -x ${package} ${root})
set(cli ${root}/usr/${BINDIR}/vanter3-cli)
if(GUI)
    run(${DESKTOP_FILE_VALIDATE} ${root}/usr/${DATADIR}/applications/vanter3.desktop)
    run(${APPSTREAMCLI} validate --no-net
        ${root}/usr/${DATADIR}/metainfo/${APPSTREAM_ID}.metainfo.xml)
endif()
set(library ${root}/usr/${PRIVATE_LIBDIR}/libPortGate.so)

# A manual page that man formats without a warning; returns its text in `out`.
function(read_manual_page page)
    set(file ${root}/usr/${MANDIR}/man1/${page}.1.gz)
    set(man_env ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANROFFSEQ= MANWIDTH=80)
    execute_process(COMMAND ${man_env} ${MAN} --warnings -E UTF-8 -l -Tutf8 -Z ${file}
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE warnings)
    if(NOT result EQUAL 0 OR NOT warnings STREQUAL "")
        message(FATAL_ERROR "man warns about ${page}(1) (${result}):\n${warnings}")
    endif()
    run(${man_env} ${MAN} -P cat -l ${file})
    set(out "${out}" PARENT_SCOPE)
endfunction()

# 5. The unpacked program with the unpacked library, and nothing from the build tree.
set(sample ${WORK}/sample)
file(COPY ${SAMPLES}/ DESTINATION ${sample})
file(MAKE_DIRECTORY ${WORK}/run)
file(CHMOD ${WORK}/run DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(env ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH --unset=LD_PRELOAD
    --unset=VANTER_SIM_UNITS --unset=VANTER_SIM_NO_LPT --unset=VANTER_SIM_USB_FAIL
    --unset=VANTER_SIM_FAULT LC_ALL=C XDG_RUNTIME_DIR=${WORK}/run
    VANTER_SIM_STATE_DIR=${WORK}/state VANTER_SIM_TRANSCRIPT=${WORK}/transcript.log)

run(${env} ${cli} --version)
if(NOT out STREQUAL "vanter3-cli ${VERSION}\n")
    message(FATAL_ERROR "unexpected --version output: '${out}'")
endif()

# vanter3-cli(1) carries every command and long option of the help.
run(${env} ${cli} --help)
string(REGEX MATCHALL "\n  [a-z]+ " commands "${out}")
string(REGEX MATCHALL "--[a-z]+" options "${out}")
read_manual_page(vanter3-cli)
foreach(command IN LISTS commands)
    string(STRIP "${command}" command)
    expect_match("${out}" "\n +${command} (FILE|--[a-z]+=)" "vanter3-cli(1)")
endforeach()
foreach(option IN LISTS options)
    expect_match("${out}" "\n +(-[a-zA-Z], )?${option}(=[A-Z]+)?\n" "vanter3-cli(1)")
endforeach()
expect_match("${out}" "\nEXIT STATUS\n" "vanter3-cli(1)")
if(GUI)
    read_manual_page(vanter3)
    expect_match("${out}" "Vanter\\.in3" "vanter3(1)")
    expect_match("${out}" "VANTER_SIM_STATE_DIR" "vanter3(1)")
endif()

expect_unpacked_library(${cli} ${library})
if(GUI)
    expect_unpacked_library(${root}/usr/${BINDIR}/vanter3 ${library})
endif()

execute_process(COMMAND ${env} ${cli} check ok.in3 WORKING_DIRECTORY ${sample}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0 OR NOT out MATCHES "Checking Vanter OK\nCheck OK\n$")
    message(FATAL_ERROR "check with the unpacked program failed (${result}):\n${out}\n${err}")
endif()
execute_process(COMMAND ${env} ${cli} download ok.in3 WORKING_DIRECTORY ${sample}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0 OR NOT out STREQUAL "Download....\nDownload OK\n")
    message(FATAL_ERROR "download with the unpacked program failed (${result}):\n${out}\n${err}")
endif()
file(STRINGS ${WORK}/transcript.log calls REGEX "^(SayHello|CheckVT)\\(")
list(LENGTH calls count)
if(NOT count EQUAL 3)
    message(FATAL_ERROR "expected 3 driver calls in the transcript, found: ${calls}")
endif()

file(REMOVE_RECURSE ${WORK})
message(STATUS "package ${package} unpacks and runs")
