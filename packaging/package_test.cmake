# The Debian package, built and tried out without installing it:
#   1. cpack builds the .deb into WORK;
#   2. its contents list and its dependencies are checked;
#   3. it is unpacked with dpkg-deb -x into a temporary root;
#   4. the unpacked vanter3-cli runs --version, and check and download against the stand-in
#      driver, with LD_LIBRARY_PATH unset: the unpacked libPortGate.so is found through the
#      program's RPATH alone (ldd tells which copy was loaded).
# Arguments (-D): CPACK DPKG_DEB CONFIG WORK VERSION GUI QT_MAJOR (of the window) BINDIR
# PRIVATE_LIBDIR DATADIR DOCDIR SAMPLES, and DESKTOP_FILE_VALIDATE (the checker of the menu entry,
# when installed).
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

# 2. Contents and dependencies.
run(${DPKG_DEB} --contents ${package})
set(contents "${out}")
set(expected
    usr/${BINDIR}/vanter3-cli
    usr/${PRIVATE_LIBDIR}/libPortGate.so
    usr/${DOCDIR}/cli.md
    usr/${DOCDIR}/README.md)
if(GUI)
    list(APPEND expected
        usr/${BINDIR}/vanter3
        usr/${DATADIR}/applications/vanter3.desktop
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

# 3. Unpack into a temporary root.
set(root ${WORK}/root)
run(${DPKG_DEB} -x ${package} ${root})
set(cli ${root}/usr/${BINDIR}/vanter3-cli)
if(GUI AND DESKTOP_FILE_VALIDATE)
    run(${DESKTOP_FILE_VALIDATE} ${root}/usr/${DATADIR}/applications/vanter3.desktop)
endif()
set(library ${root}/usr/${PRIVATE_LIBDIR}/libPortGate.so)

# 4. The unpacked program with the unpacked library, and nothing from the build tree.
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
