# Cross-build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64), for machines
# that run no 32-bit code: such a build loads only the stand-in PortGate.dll
# (VANTER_PORTGATE_STANDIN=ON), never the maker's 32-bit library.
#   cmake -S . -B build-mingw64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake \
#         -DVANTER_BUILD_GUI=OFF -DVANTER_PORTGATE_STANDIN=ON
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VANTER_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
