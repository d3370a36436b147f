# Windows: the program imports SayHello and CheckVT by name from PortGate.DLL, bound when the
# program loads, through an import library made from PortGate.def. The maker's library is
# 32-bit and ships without an import library.
#   VANTER_PORTGATE_DIR      folder holding the maker's PortGate.DLL, copied beside the
#                            programs; empty: put the DLL there by hand
#   VANTER_PORTGATE_STANDIN  build our stand-in (a simulated chain) as PortGate.dll instead,
#                            for the tests; never what a user with units wants
#   VANTER_PORTGATE_CALLCONV calling convention the stand-in is built with, stdcall or cdecl
#                            (the programs take either, but for MSVC builds)
set(VANTER_PORTGATE_DIR "" CACHE PATH "Folder holding the maker's PortGate.DLL")
option(VANTER_PORTGATE_STANDIN "Build the stand-in (simulated chain) as PortGate.dll" OFF)
set(VANTER_PORTGATE_CALLCONV stdcall CACHE STRING
    "Calling convention of the stand-in PortGate.dll (and of the maker's for MSVC builds)")
set_property(CACHE VANTER_PORTGATE_CALLCONV PROPERTY STRINGS stdcall cdecl)

# The maker's library is 32-bit: a 64-bit program can load only our stand-in.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4 AND (VANTER_PORTGATE_DIR OR NOT VANTER_PORTGATE_STANDIN))
    message(FATAL_ERROR "The maker's PortGate.DLL is 32-bit: configure a 32-bit build "
                        "(a 64-bit build takes only the stand-in, VANTER_PORTGATE_STANDIN=ON)")
endif()

# The convention the stand-in is built with. A 32-bit program built by GCC or Clang calls
# CheckVT through a wrapper that works with either (portgate_x86.cpp), so the option does not
# touch the programs; MSVC builds, which lack the wrapper, call the convention it names.
if(VANTER_PORTGATE_CALLCONV STREQUAL "stdcall")
    set(VANTER_PORTGATE_CALL __stdcall)
elseif(VANTER_PORTGATE_CALLCONV STREQUAL "cdecl")
    set(VANTER_PORTGATE_CALL __cdecl)
else()
    message(FATAL_ERROR "VANTER_PORTGATE_CALLCONV must be stdcall or cdecl, not "
                        "'${VANTER_PORTGATE_CALLCONV}'")
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND NOT MSVC)
    set(portgate_any_convention TRUE)
else()
    set(portgate_any_convention FALSE)
endif()

# PortGate.def names the stdcall functions with their argument sizes. The same list without
# them serves cdecl, x86_64 (one calling convention, no decorated names) and MSVC's linker
# (which finds _SayHello@0 for SayHello by itself).
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/PortGate.def def_text)
string(REGEX REPLACE "@[0-9]+" "" def_text "${def_text}")
set(plain_def ${CMAKE_CURRENT_BINARY_DIR}/PortGate-plain.def)
file(CONFIGURE OUTPUT ${plain_def} CONTENT "${def_text}" @ONLY)
# The programs' import library: the stdcall names on x86 (the wrapper imports _CheckVT@16).
if(CMAKE_SIZEOF_VOID_P EQUAL 4
   AND (portgate_any_convention OR VANTER_PORTGATE_CALLCONV STREQUAL "stdcall"))
    set(portgate_def ${CMAKE_CURRENT_SOURCE_DIR}/PortGate.def)
else()
    set(portgate_def ${plain_def})
endif()
# The stand-in DLL's own list (emulator/standin), after its convention.
if(NOT MSVC AND CMAKE_SIZEOF_VOID_P EQUAL 4 AND VANTER_PORTGATE_CALLCONV STREQUAL "stdcall")
    set(VANTER_PORTGATE_DLL_DEF ${CMAKE_CURRENT_SOURCE_DIR}/PortGate.def)
else()
    set(VANTER_PORTGATE_DLL_DEF ${plain_def})
endif()

set(portgate_implib ${CMAKE_CURRENT_BINARY_DIR}/PortGate${CMAKE_IMPORT_LIBRARY_SUFFIX})
if(MSVC)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(machine x86)
    else()
        set(machine x64)
    endif()
    set(make_implib ${CMAKE_AR} /nologo /machine:${machine} /def:${portgate_def}
                    /out:${portgate_implib})
else()
    if(NOT CMAKE_DLLTOOL)
        find_program(CMAKE_DLLTOOL NAMES dlltool REQUIRED)
    endif()
    # --kill-at: the program imports the plain names although it refers to _SayHello@0.
    set(make_implib ${CMAKE_DLLTOOL} --kill-at --input-def ${portgate_def}
                    --dllname PortGate.dll --output-lib ${portgate_implib})
endif()
add_custom_command(OUTPUT ${portgate_implib} COMMAND ${make_implib} DEPENDS ${portgate_def}
                   COMMENT "Import library for PortGate.dll" VERBATIM)
add_custom_target(portgate_implib DEPENDS ${portgate_implib})

add_library(PortGate SHARED IMPORTED GLOBAL)
set_target_properties(PortGate PROPERTIES IMPORTED_IMPLIB ${portgate_implib})
add_dependencies(PortGate portgate_implib)
if(portgate_any_convention)
    add_library(vanter_portgate_x86 STATIC portgate_x86.cpp)
    # The wrapper's import comes after it on the link line.
    target_link_libraries(vanter_portgate_x86 INTERFACE ${portgate_implib})
    add_dependencies(vanter_portgate_x86 portgate_implib)
    set_property(TARGET PortGate PROPERTY INTERFACE_LINK_LIBRARIES vanter_portgate_x86)
else()
    set_property(TARGET PortGate PROPERTY
        INTERFACE_COMPILE_DEFINITIONS PORTGATE_CALL=${VANTER_PORTGATE_CALL})
endif()

if(VANTER_PORTGATE_STANDIN AND VANTER_PORTGATE_DIR)
    message(FATAL_ERROR "VANTER_PORTGATE_DIR and VANTER_PORTGATE_STANDIN: choose one")
elseif(VANTER_PORTGATE_STANDIN)
    # Our stand-in, built as PortGate.dll from the same .def (emulator/standin).
    message(STATUS "PortGate.dll: the stand-in, simulating a chain of units")
    add_subdirectory(standin)
    add_dependencies(PortGate PortGateStandin)
elseif(VANTER_PORTGATE_DIR)
    # The maker's library goes beside the programs, where Windows looks for it.
    set(maker_dll ${VANTER_PORTGATE_DIR}/PortGate.dll)
    if(NOT EXISTS ${maker_dll})
        message(FATAL_ERROR "No PortGate.dll in VANTER_PORTGATE_DIR (${VANTER_PORTGATE_DIR})")
    endif()
    set_target_properties(PortGate PROPERTIES IMPORTED_LOCATION ${maker_dll})
    file(COPY ${maker_dll} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
    message(STATUS "PortGate.dll: the maker's, from ${VANTER_PORTGATE_DIR}")
else()
    message(STATUS "PortGate.dll: none; put the maker's library beside the program")
endif()
