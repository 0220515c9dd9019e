# Shared part of the mingw-w64 toolchain files; expects KYT_MINGW_TRIPLE to be set by the caller.
set(CMAKE_C_COMPILER   ${KYT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KYT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${KYT_MINGW_TRIPLE}-windres)
set(CMAKE_AR           ${KYT_MINGW_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${KYT_MINGW_TRIPLE}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${KYT_MINGW_TRIPLE})
# A prefix named in CMAKE_PREFIX_PATH (an installed kyt package) holds Windows files too: as a root
# of its own it is searched as it is, instead of being looked for under the mingw-w64 root.
list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A static runtime lets every executable run under Wine without extra DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and tools run through Wine with the project's environment.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
