# The product: 32-bit x86 Windows.
set(QUORREL_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
