# Cross build of the plug-in module for 32-bit Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# GCC's identical code folding merges functions whose bodies match even when
# their calling conventions differ: on i686 a member function (thiscall, which
# pops its stack arguments) and a plain function (cdecl) that both only return
# zero become one body, and whoever calls through the other convention is left
# with a stack four bytes off. x86-64 has one convention, so only this build
# needs it off; every i686 program shares the flag.
set(CMAKE_C_FLAGS_INIT "-fno-ipa-icf")
set(CMAKE_CXX_FLAGS_INIT "-fno-ipa-icf")
