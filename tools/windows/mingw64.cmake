# Cross-compiling for 64-bit Windows with Debian's mingw-w64. The -posix
# compilers are the ones with std::thread and std::mutex; the unsuffixed names
# are the win32-thread variant, which lacks them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MONTERA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MONTERA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MONTERA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MONTERA_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${MONTERA_MINGW_TRIPLET}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${MONTERA_MINGW_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries, headers and packages come only from the cross sysroot and the
# prefixes the caller names in MONTERA_WINDOWS_PREFIXES (the cached Qt, SQLite
# and libcsv), never from the build machine's own; programs (moc, rcc) do.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MONTERA_WINDOWS_PREFIXES)
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${MONTERA_MINGW_TRIPLET} ${MONTERA_WINDOWS_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
