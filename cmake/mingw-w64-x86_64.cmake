# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads),
# linked statically so that pcw.exe runs alone; Wine runs what was built, so
# that ctest works here as on Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PCW_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PCW_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PCW_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PCW_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PCW_MINGW_PREFIX})
# The static Qt for Windows that scripts/build-qt-windows installs, when the
# build is given it (-DPCW_WINDOWS_QT=<prefix>): found there, and nowhere on
# the host, while its moc, uic and rcc are the host's.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PCW_WINDOWS_QT)
if(PCW_WINDOWS_QT)
  list(APPEND CMAKE_FIND_ROOT_PATH ${PCW_WINDOWS_QT})
  set(QT_HOST_PATH /usr)
  file(GLOB host_qt_tools /usr/lib/*/cmake/Qt6CoreTools)
  if(host_qt_tools)
    list(GET host_qt_tools 0 host_qt_tools)
    cmake_path(GET host_qt_tools PARENT_PATH QT_HOST_PATH_CMAKE_DIR)
  endif()
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(PCW_WINE NAMES wine wine64)
if(PCW_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PCW_WINE})
endif()
