# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the POSIX thread model,
# which std::thread and Qt's threads need). TALLYCLOCK_WINDOWS_PREFIX is the folder that
# scripts/windows.sh fills with Qt and the spreadsheet writer built for Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw}-windres)
set(CMAKE_OBJDUMP ${mingw}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${mingw})
# Kept in the cache: the build configures itself again later, without the environment.
if(DEFINED ENV{TALLYCLOCK_WINDOWS_PREFIX})
    set(TALLYCLOCK_WINDOWS_PREFIX $ENV{TALLYCLOCK_WINDOWS_PREFIX} CACHE PATH
        "Qt and the spreadsheet writer built for Windows (scripts/windows.sh)" FORCE)
endif()
if(TALLYCLOCK_WINDOWS_PREFIX)
    list(PREPEND CMAKE_FIND_ROOT_PATH ${TALLYCLOCK_WINDOWS_PREFIX})
    list(APPEND CMAKE_PREFIX_PATH ${TALLYCLOCK_WINDOWS_PREFIX})
endif()
# Programs (moc, rcc) come from the build machine; libraries and headers from Windows'.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
