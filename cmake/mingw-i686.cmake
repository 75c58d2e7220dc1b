set(CMAKE_SYSTEM_PROCESSOR i686)
set(PINCHWELL_MINGW_TRIPLE i686-w64-mingw32)
# Doubles in double precision on SSE2, as in the x64 build: on the x87 unit they would
# carry 80-bit intermediates, or whatever precision the control word of the loading
# process (the browser's) sets. Every Windows 7 touch-screen machine has SSE2; GCC
# realigns the stack where SSE needs it, as MinGW targets get only 4-byte alignment.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
