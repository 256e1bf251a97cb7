# 64-bit Windows: the same sources, for running them under wine here.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(ORBIS_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
