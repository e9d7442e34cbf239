# Cross-compiles the Windows build (64-bit) on a Debian machine with
# MinGW-w64's POSIX-thread compilers. The executables are linked
# statically, so they import nothing but system DLLs and run from a folder
# of their own, or under Wine, with no runtime libraries beside them.
#
#   cmake --preset windows        (or -DCMAKE_TOOLCHAIN_FILE=<this file>)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VANTLE_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VANTLE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTLE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTLE_MINGW_TRIPLET}-windres)
set(CMAKE_OBJDUMP ${VANTLE_MINGW_TRIPLET}-objdump CACHE FILEPATH "objdump for the target's binaries")

set(CMAKE_FIND_ROOT_PATH /usr/${VANTLE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own runtime (libgcc, libstdc++, winpthread) goes into
# every executable.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs and build steps that run what was built run it under Wine.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(VANTLE_WINE wine)
  if(VANTLE_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTLE_WINE})
  endif()
endif()
