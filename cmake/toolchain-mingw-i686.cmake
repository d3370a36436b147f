# Cross-build for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686): the maker's
# PortGate.DLL is 32-bit and loads only into a 32-bit process.
#   cmake -S . -B build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake \
#         -DVANTER_BUILD_GUI=OFF
set(CMAKE_SYSTEM_PROCESSOR x86)
set(VANTER_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
