# Cross-compiling for 32-bit Windows with Debian's mingw-w64 (posix threads,
# so std::thread works and winpthread is linked statically).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(triple i686-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_ASM_NASM_COMPILER nasm)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The cross-built codec libraries and GoogleTest live in a cache outside the
# clone (tools/setup.sh); paths inside it are searched as a second root.
if(DEFINED ENV{VELLOMAR_CACHE})
  set(VELLOMAR_MINGW_PREFIX $ENV{VELLOMAR_CACHE}/mingw-i686)
else()
  set(VELLOMAR_MINGW_PREFIX /var/cache/vellomar/mingw-i686)
endif()
list(APPEND CMAKE_FIND_ROOT_PATH ${VELLOMAR_MINGW_PREFIX})
list(APPEND CMAKE_PREFIX_PATH ${VELLOMAR_MINGW_PREFIX})
