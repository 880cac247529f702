# Cross build of the 32-bit Windows console program, the product, with
# Debian's mingw-w64 (package g++-mingw-w64-i686):
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLE i686-w64-mingw32)
set(WINE_LOADER_NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
