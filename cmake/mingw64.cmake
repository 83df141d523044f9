# Cross build for 64-bit Windows: the same sources and options as the 32-bit product, for a machine
# whose Wine runs 64-bit programs only (its kernel runs no 32-bit Linux program).
set(TULVEX_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw32.cmake)
