# Cross-compiling for Linux on arm64 (Raspberry Pi OS, ARM Chromebooks' Linux) on a Debian machine
# with arm64 added as a foreign architecture: Debian's cross compiler, and the target's libraries
# and headers from the multiarch folders (qt6-base-dev:arm64 and the rest), found through their
# arm64 CMake and pkg-config files. Qt's moc, rcc and uic are the build machine's: Qt's arm64 CMake
# files name them in /usr/lib/qt6/libexec, a folder that multiarch does not split, where
# qt6-base-dev-tools (Multi-Arch: foreign) puts the build machine's.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# Programs run on the build machine; packages, libraries and headers are the target's, which
# multiarch keeps in /usr/lib/aarch64-linux-gnu and /usr/include/aarch64-linux-gnu beside the
# architecture-independent ones (Qt's headers among them).
set(CMAKE_FIND_ROOT_PATH /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
