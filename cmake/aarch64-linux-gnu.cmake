# Cross-builds the Linux program for 64-bit ARM with Debian's cross compiler
# (g++-aarch64-linux-gnu), against arm64 libraries laid out in a sysroot of the build's own by
# scripts/install-deps arm64, so that the machine's own dpkg never learns of a second
# architecture. Qt's tools (moc, uic) are the machine's own, which must be the same Qt version.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# Read again for every compiler check, which must be told the sysroot too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZINTU_SYSROOT)
if(NOT ZINTU_SYSROOT)
    message(FATAL_ERROR "ZINTU_SYSROOT names no arm64 sysroot: run scripts/install-deps arm64")
endif()
set(CMAKE_SYSROOT ${ZINTU_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config reads the sysroot's library descriptions, not this machine's.
set(ENV{PKG_CONFIG_LIBDIR}
    ${ZINTU_SYSROOT}/usr/lib/aarch64-linux-gnu/pkgconfig:${ZINTU_SYSROOT}/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${ZINTU_SYSROOT})
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${CMAKE_HOST_SYSTEM_PROCESSOR}-linux-gnu/cmake)

# The same commit makes the same bytes wherever the sysroot lies.
set(CMAKE_CXX_FLAGS_INIT -ffile-prefix-map=${ZINTU_SYSROOT}/=/)

# Every program the build or its tests run goes through qemu's user mode, which finds the arm64
# libraries in the sysroot. Qt looks for its plugins where a relocated Qt would have them, which
# qemu does not map, so they are named outright.
set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env QT_PLUGIN_PATH=${ZINTU_SYSROOT}/usr/lib/aarch64-linux-gnu/qt6/plugins
    /usr/bin/qemu-aarch64 -L ${ZINTU_SYSROOT})
