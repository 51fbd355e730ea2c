# Cross build for Windows with Debian's MinGW-w64 (posix threads flavour).
# Both programs are 32-bit (i686): installer packages rely on the 32-bit
# registry view and system folder that a 32-bit program sees on 64-bit
# Windows. RV_WIN_ARCH=x86_64 makes a 64-bit build of the same sources, only
# for running the Windows tests under Wine on machines that cannot run 32-bit
# code at all (scripts/test.sh decides).
if(NOT DEFINED RV_WIN_ARCH)
  set(RV_WIN_ARCH i686)
endif()
set(RV_WIN_ARCH ${RV_WIN_ARCH} CACHE STRING "Windows target: i686 (the programs) or x86_64 (a test build)")
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${RV_WIN_ARCH})
set(CMAKE_C_COMPILER ${RV_WIN_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${RV_WIN_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${RV_WIN_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${RV_WIN_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
