# Cross-build for 64-bit Windows with Debian's MinGW-w64 compilers:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# The -posix compilers: GoogleTest needs std::mutex and std::thread.
# Test programs run under Wine through CTest's cross-compiling emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Finds look for the target's headers and libraries where the compiler
# keeps them (/usr/x86_64-w64-mingw32 on Debian).
execute_process(COMMAND ${CMAKE_C_COMPILER} -print-file-name=libkernel32.a
                OUTPUT_VARIABLE kernel32 OUTPUT_STRIP_TRAILING_WHITESPACE)
cmake_path(GET kernel32 PARENT_PATH targetLibraries)
if(targetLibraries)
    file(REAL_PATH ${targetLibraries}/.. targetRoot)
    set(CMAKE_FIND_ROOT_PATH ${targetRoot})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes and winpthread linked in: the .exe needs no DLL
# beyond those that come with Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Wine from the PATH (Debian's wine starts its 64-bit loader, wine64).
find_program(KV17_WINE NAMES wine64 wine NO_CMAKE_FIND_ROOT_PATH)
if(KV17_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KV17_WINE})
endif()
