# Cross build for Windows with MinGW-w64, for the processor the toolchain
# file names in mingw_prozessor (i686 or x86_64). The posix flavour of the
# compiler is used because the test hosts need std::thread; everything is
# linked statically, so no MinGW runtime DLL is needed at run time.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${mingw_prozessor})

set(mingw ${mingw_prozessor}-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw}-windres)
set(CMAKE_DLLTOOL ${mingw}-dlltool)
set(CMAKE_OBJDUMP ${mingw}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Windows programs of the build run under Wine (tests and the demo).
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
