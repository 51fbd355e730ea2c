# Cross build for Windows with Debian's MinGW-w64 (posix threads flavour).
# Both programs are 32-bit (i686): installer packages rely on the 32-bit
# registry view and system folder that a 32-bit program sees on 64-bit
# Windows. RV_WIN_ARCH=x86_64 makes a 64-bit build of the same sources, a
# developer's option (build/win64) whose Wine tests start faster where the
# 32-bit side of Wine runs emulated; the tests run on the 32-bit build.
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
# One arithmetic in every build: the 32-bit programs compute with SSE2, as the
# 64-bit and native builds do, not on the x87 unit, whose 80-bit intermediates
# can put a truncated coordinate one pixel off (a lasso edge, an ellipse, a
# gradient's radius). So the programs need a processor with SSE2 (Pentium 4,
# Athlon 64 or later), which every Windows they support requires anyway.
if(RV_WIN_ARCH STREQUAL "i686")
  set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
  set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
  # A tree configured before this line was added gets the flags too.
  foreach(lang C CXX)
    if(DEFINED CACHE{CMAKE_${lang}_FLAGS} AND NOT "$CACHE{CMAKE_${lang}_FLAGS}" MATCHES "-mfpmath=sse")
      set(CMAKE_${lang}_FLAGS "$CACHE{CMAKE_${lang}_FLAGS} -msse2 -mfpmath=sse" CACHE STRING
          "Flags used by the ${lang} compiler" FORCE)
    endif()
  endforeach()
endif()
