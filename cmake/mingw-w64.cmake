# The part of the MinGW-w64 toolchain files that both share: included by
# toolchain-mingw-i686.cmake and toolchain-mingw-x86_64.cmake once they have set
# CMAKE_SYSTEM_PROCESSOR and VANTER_MINGW_PREFIX.
# Test programs run under wine when it is installed (CMAKE_CROSSCOMPILING_EMULATOR).
set(CMAKE_SYSTEM_NAME Windows)
# The posix thread model: GCC 12's win32 model has no std::thread or std::mutex.
set(CMAKE_C_COMPILER ${VANTER_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTER_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTER_MINGW_PREFIX}-windres)
set(CMAKE_DLLTOOL ${VANTER_MINGW_PREFIX}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${VANTER_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# How the programs take libgcc, libstdc++ and winpthread (linked in, or Qt's DLLs) is decided
# where the project knows whether it builds the window: mingw-runtime.cmake.

if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    find_program(VANTER_WINE NAMES wine)
    if(VANTER_WINE)
        set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTER_WINE})
    endif()
endif()
