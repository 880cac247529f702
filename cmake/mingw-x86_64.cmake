# Cross build of the same program for 64-bit Windows (package
# g++-mingw-w64-x86-64). It is what the Windows suite tests on machines
# whose kernel cannot run 32-bit programs, under wine64:
#
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake

set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(WINE_LOADER_NAMES wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
