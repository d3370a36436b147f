# Windows: the ZIP a user unpacks, one flat folder. vanter3.exe and vanter3-cli.exe with, beside
# them, the Qt DLLs the window needs, its platforms/ and styles/ plugins, the MinGW runtime DLLs
# that Qt's DLLs import, and README.txt. The maker's PortGate.DLL is never in it: the user puts it
# beside vanter3.exe. A build with the stand-in (VANTER_PORTGATE_STANDIN) makes the "simulator"
# ZIP instead, which carries our PortGate.dll, unless VANTER_WINDOWS_ZIP=units.
# Included by packaging/CMakeLists.txt before GNUInstallDirs.
# Plain variables: they hide the cache entries that an earlier GNUInstallDirs may have made.
set(CMAKE_INSTALL_BINDIR .) # programs and DLLs: the top of the ZIP
set(CMAKE_INSTALL_DOCDIR doc)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(windows_bits win32)
else()
    set(windows_bits win64)
endif()
# A build with the stand-in can still make the ZIP for units from the very programs it tested:
# VANTER_WINDOWS_ZIP=units leaves the stand-in out.
set(VANTER_WINDOWS_ZIP "" CACHE STRING
    "The Windows ZIP: units (no PortGate.dll) or simulator (the stand-in); empty: after the build")
set_property(CACHE VANTER_WINDOWS_ZIP PROPERTY STRINGS "" units simulator)
if(VANTER_WINDOWS_ZIP STREQUAL "simulator"
   OR (VANTER_WINDOWS_ZIP STREQUAL "" AND VANTER_PORTGATE_STANDIN))
    if(NOT VANTER_PORTGATE_STANDIN)
        message(FATAL_ERROR "VANTER_WINDOWS_ZIP=simulator needs VANTER_PORTGATE_STANDIN=ON")
    endif()
    set(vanter_simulator_zip TRUE)
elseif(VANTER_WINDOWS_ZIP STREQUAL "" OR VANTER_WINDOWS_ZIP STREQUAL "units")
    set(vanter_simulator_zip FALSE)
else()
    message(FATAL_ERROR "VANTER_WINDOWS_ZIP must be units or simulator, not '${VANTER_WINDOWS_ZIP}'")
endif()
if(vanter_simulator_zip)
    set(CPACK_PACKAGE_FILE_NAME vanter3-${PROJECT_VERSION}-${windows_bits}-simulator)
    set(VANTER_WINDOWS_DRIVER_NOTE
        "This is the simulator package: its PortGate.dll is a stand-in that simulates a chain of
units (docs: standin-driver.md), for trying the program without units. For real units,
take the package without \"-simulator\" in its name.")
else()
    set(CPACK_PACKAGE_FILE_NAME vanter3-${PROJECT_VERSION}-${windows_bits})
    set(VANTER_WINDOWS_DRIVER_NOTE
        "Put the maker's PortGate.DLL beside vanter3.exe: the programs load it from their own
folder. It is not part of this package.")
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND NOT MSVC)
    set(VANTER_WINDOWS_CALLCONV_NOTE "
The programs take a PortGate.DLL built with either calling convention, stdcall or
cdecl: the same vanter3.exe and vanter3-cli.exe were tested with both (under wine).
")
else()
    set(VANTER_WINDOWS_CALLCONV_NOTE "")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/README-windows.txt.in
               ${CMAKE_CURRENT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt DESTINATION .)

if(TARGET vanter3)
    # Qt's DLLs and the plugins the window loads at start: the platform and the Windows style.
    set(qt Qt${VANTER_QT_MAJOR})
    foreach(module Core Gui Widgets)
        install(FILES $<TARGET_FILE:${qt}::${module}> DESTINATION .)
    endforeach()
    foreach(plugin platforms:QWindowsIntegrationPlugin styles:QWindowsVistaStylePlugin)
        string(REPLACE ":" ";" plugin ${plugin})
        list(GET plugin 0 folder)
        list(GET plugin 1 target)
        if(TARGET ${qt}::${target})
            install(FILES $<TARGET_FILE:${qt}::${target}> DESTINATION ${folder})
        else()
            message(WARNING "No ${qt}::${target}: the ZIP lacks its ${folder}/ plugin")
        endif()
    endforeach()

    # MinGW's runtime DLLs, which Qt's DLLs and our programs share (cmake/mingw-runtime.cmake):
    # Qt's own copies where its folder holds them, else the compiler's.
    if(MINGW)
        get_target_property(qt_core ${qt}::Core LOCATION)
        get_filename_component(qt_bin ${qt_core} DIRECTORY)
        foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
            set(found ${qt_bin}/${dll})
            if(NOT EXISTS ${found})
                execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                                OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
            endif()
            if(IS_ABSOLUTE "${found}" AND EXISTS "${found}")
                install(FILES ${found} DESTINATION .)
            endif()
        endforeach()
    endif()
endif()

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
