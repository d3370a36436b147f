# Run by cpack (CPACK_PRE_BUILD_SCRIPTS) once the files are staged: the package's library
# dependencies, from dpkg-shlibdeps over the staged programs and library, put before those in
# CPACK_DEBIAN_PACKAGE_DEPENDS. The programs find the private library through their RPATH
# ($ORIGIN), which dpkg-shlibdeps resolves inside the package when a DEBIAN folder marks its
# root.
# In: CPACK_TEMPORARY_DIRECTORY (the staged root), CPACK_VANTER_ELF_FILES (paths in it).
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
set(root "${CPACK_TEMPORARY_DIRECTORY}")
file(WRITE "${root}/debian/control" "")
file(MAKE_DIRECTORY "${root}/DEBIAN")
execute_process(
    COMMAND dpkg-shlibdeps --ignore-missing-info -O ${CPACK_VANTER_ELF_FILES}
    WORKING_DIRECTORY "${root}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors
    OUTPUT_STRIP_TRAILING_WHITESPACE)
file(REMOVE_RECURSE "${root}/debian" "${root}/DEBIAN")
if(NOT result EQUAL 0 OR NOT output MATCHES "^shlibs:Depends=(.+)$")
    message(FATAL_ERROR "dpkg-shlibdeps failed (${result}) in ${root}:\n${output}\n${errors}")
endif()
if(CPACK_DEBIAN_PACKAGE_DEPENDS)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}, ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
endif()
message(STATUS "Depends: ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
