# Cross build for 32-bit Windows with Debian's mingw-w64 (win32 threads: no winpthread DLL).
# mingw64.cmake reuses it for x86-64, where a machine's Wine runs 64-bit programs only.
if(NOT DEFINED TULVEX_MINGW_ARCH)
  set(TULVEX_MINGW_ARCH i686)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TULVEX_MINGW_ARCH})
set(CMAKE_C_COMPILER ${TULVEX_MINGW_ARCH}-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER ${TULVEX_MINGW_ARCH}-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER ${TULVEX_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TULVEX_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
