# Cross-compiling for i686 Windows with mingw-w64.
# MINGW_THREAD_MODEL picks the compiler variant: "win32" for the shipped programs (their runtime imports
# nothing newer than Windows 2000), "posix" for the test programs (GoogleTest needs std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
