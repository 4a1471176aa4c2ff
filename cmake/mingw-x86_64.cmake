# 64-bit Windows (PE32+) from the same sources: MinGW-w64, posix threads.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUILLET_MINGW_TRIPLET x86_64-w64-mingw32)
set(QUILLET_WINE_TARGET win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
