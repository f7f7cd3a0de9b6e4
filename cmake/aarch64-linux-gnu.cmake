# Cross-compiles for 64-bit ARM Linux (arm64) on a Debian machine of another
# architecture, with Debian's cross compiler (crossbuild-essential-arm64) and the arm64
# libraries installed beside the machine's own (multiarch: /usr/lib/aarch64-linux-gnu).
# Programs that run at build time (moc, rcc) are the build machine's own. CTest starts
# the test programs through qemu-user (scripts/arm64.sh installs one that runs Qt's
# QProcess).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(triplet aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${triplet})
# The pkg-config that answers for arm64's .pc files (pkgconf's wrapper for the triplet).
set(PKG_CONFIG_EXECUTABLE ${triplet}-pkg-config CACHE FILEPATH "")

# Programs (moc, rcc) are the build machine's; libraries, headers and packages are found
# by CMAKE_LIBRARY_ARCHITECTURE in the multiarch folders under /usr.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

# The arm64 dynamic loader and libraries are at their multiarch places
# (/lib/ld-linux-aarch64.so.1, /usr/lib/aarch64-linux-gnu), where qemu finds them
# without a root folder of their own.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
