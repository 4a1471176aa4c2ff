# 32-bit Windows (PE32), the shipped program: MinGW-w64, posix threads.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUILLET_MINGW_TRIPLET i686-w64-mingw32)
set(QUILLET_WINE_TARGET win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
