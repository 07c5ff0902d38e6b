# Cross build for 32-bit Windows with MinGW-w64 (toolchain-mingw.cmake).
set(mingw_prozessor i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)

# Every 32-bit target does its floating point in SSE2, as 64-bit code and the
# native tests always do: x87 code holds doubles in 80 bits, so a value
# computed afresh need not equal the same value stored, and the DLLs would
# not compute as they were tested.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
