# Cross build for 32-bit Windows with MinGW-w64 (toolchain-mingw.cmake).
set(mingw_prozessor i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)

