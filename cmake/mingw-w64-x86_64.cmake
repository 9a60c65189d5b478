# Cross-compiling for Windows x64 on Debian with MinGW-w64: the compilers, the resource compiler
# and where to look for the target's libraries. Qt for Windows (built by tools/build-qt-windows)
# and the program are built with this same file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

# The POSIX threading flavour: std::thread and std::mutex need it.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Programs run on the build machine; libraries, headers and packages come from the target's tree
# and from the prefixes given in CMAKE_PREFIX_PATH.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
# Qt for Windows, wherever tools/build-qt-windows installed it, is part of the target's tree too.
if(MIROVANE_QT_WINDOWS)
    list(APPEND CMAKE_FIND_ROOT_PATH "${MIROVANE_QT_WINDOWS}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The linker records no time of linking in the programs and libraries it writes, so the same
# sources give the same files.
foreach(kind IN ITEMS EXE SHARED MODULE)
    set(CMAKE_${kind}_LINKER_FLAGS_INIT "-Wl,--no-insert-timestamp")
endforeach()
