# Cross build for 64-bit Windows with MinGW-w64 (toolchain-mingw.cmake).
set(mingw_prozessor x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
