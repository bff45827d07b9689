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
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(PCW_WINE NAMES wine wine64)
if(PCW_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PCW_WINE})
endif()
