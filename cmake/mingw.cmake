# Cross-compile for Windows with MinGW-w64 (posix threading model, the variant
# GoogleTest builds with). The including toolchain file sets QUORREL_MINGW_ARCH
# (i686 for the product, x86_64 for the 64-bit twin the tests use on kernels
# that run no 32-bit code).
if(CMAKE_HOST_WIN32)
    # MSYS2's mingw32/mingw64 shell: that shell's compilers are the plain names on PATH.
    set(CMAKE_C_COMPILER gcc)
    set(CMAKE_CXX_COMPILER g++)
    set(CMAKE_RC_COMPILER windres)
    return()
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QUORREL_MINGW_ARCH})
set(TOOLCHAIN_PREFIX ${QUORREL_MINGW_ARCH}-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${TOOLCHAIN_PREFIX}-gcc-posix ${TOOLCHAIN_PREFIX}-gcc)
find_program(CMAKE_CXX_COMPILER NAMES ${TOOLCHAIN_PREFIX}-g++-posix ${TOOLCHAIN_PREFIX}-g++)
find_program(CMAKE_RC_COMPILER NAMES ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
