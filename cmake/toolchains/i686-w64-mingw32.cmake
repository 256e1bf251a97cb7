# 32-bit Windows: the host's own build, for which the plug-in is made.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(ORBIS_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
