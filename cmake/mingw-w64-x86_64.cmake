# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 GCC.
#
# The posix-threads variant of the compiler is named outright: the win32 variant of GCC 12 has no
# std::thread or std::mutex, and the unsuffixed names follow whatever update-alternatives last chose.
# Binutils are named too, since CMake cannot derive their prefix from a compiler called "...-posix".
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
set(CMAKE_AR ${MINGW_TRIPLET}-ar CACHE FILEPATH "Archiver for Windows objects")
set(CMAKE_RANLIB ${MINGW_TRIPLET}-ranlib CACHE FILEPATH "Archive indexer for Windows objects")

# Libraries and headers come only from the MinGW sysroot (and from whatever a caller adds to the
# root path, such as a cross-built Qt); programs such as moc run on the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

