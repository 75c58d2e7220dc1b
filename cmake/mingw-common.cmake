# Shared by the two MinGW-w64 toolchain files; PINCHWELL_MINGW_TRIPLE names the target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${PINCHWELL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PINCHWELL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PINCHWELL_MINGW_TRIPLE}-windres)
set(PINCHWELL_WIDL ${PINCHWELL_MINGW_TRIPLE}-widl)

set(CMAKE_FIND_ROOT_PATH /usr/${PINCHWELL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# zlib from Debian's libz-mingw-w64-dev (headers and libz.a below the find root): the
# static library, not the import library of zlib1.dll beside it.
set(ZLIB_USE_STATIC_LIBS ON)

# No MinGW runtime DLL has to travel with the binaries.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
