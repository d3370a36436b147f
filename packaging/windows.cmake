# Windows: the ZIP a user unpacks, one flat folder. vanter3.exe and vanter3-cli.exe with, beside
# them, the Qt DLLs the window needs, its platforms/ and styles/ plugins, the MinGW runtime DLLs
# that Qt's DLLs import, and README.txt. The maker's PortGate.DLL is never in it: the user puts it
# beside vanter3.exe. A build with the stand-in (VANTER_PORTGATE_STANDIN) makes the "simulator"
# ZIP instead, which carries our PortGate.dll.
# Included by packaging/CMakeLists.txt before GNUInstallDirs.
# Plain variables: they hide the cache entries that an earlier GNUInstallDirs may have made.
set(CMAKE_INSTALL_BINDIR .) # programs and DLLs: the top of the ZIP
set(CMAKE_INSTALL_DOCDIR doc)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(windows_bits win32)
else()
    set(windows_bits win64)
endif()
if(VANTER_PORTGATE_STANDIN)
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

    # MinGW's runtime DLLs, which those DLLs import (our own programs link them statically):
    # wherever the compiler that built Qt keeps them.
    if(MINGW)
        foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
            execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                            OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
            if(IS_ABSOLUTE "${found}" AND EXISTS "${found}")
                install(FILES ${found} DESTINATION .)
            endif()
        endforeach()
    endif()
endif()

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
