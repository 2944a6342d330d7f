# Cross-build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64):
#   cmake -S . -B build-windows --toolchain cmake/toolchain-mingw64.cmake
# The modules come out as mex/BRELK_*.mexw64; cmake/Windows.cmake links them
# against import libraries made from windows/*.def.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(BRELK_MINGW_TRIPLE x86_64-w64-mingw32)
# The POSIX thread model: its libstdc++ has std::mutex and std::thread.
find_program(CMAKE_C_COMPILER NAMES ${BRELK_MINGW_TRIPLE}-gcc-posix ${BRELK_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${BRELK_MINGW_TRIPLE}-g++-posix ${BRELK_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${BRELK_MINGW_TRIPLE}-windres)
find_program(CMAKE_DLLTOOL NAMES ${BRELK_MINGW_TRIPLE}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${BRELK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The GCC runtime (libgcc, libstdc++, winpthread) goes into every binary, so
# that no MinGW DLL has to sit beside a module.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
