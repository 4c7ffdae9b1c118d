# The 64-bit twin: the same sources for x86-64 Windows, for the test tiers on
# kernels that run no 32-bit x86 code.
set(QUORREL_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
