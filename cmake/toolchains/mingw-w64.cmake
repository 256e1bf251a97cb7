# Cross-compiling for Windows with Debian's MinGW-w64 compilers, for the
# triple that the including toolchain file sets. The "posix" variants carry
# the C++ threads that the code uses; the build links their runtime in
# statically.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${ORBIS_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORBIS_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORBIS_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORBIS_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
