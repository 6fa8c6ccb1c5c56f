# Cross-compiling for 64-bit Windows with Debian's mingw-w64 compilers (package
# g++-mingw-w64-x86-64-posix: the posix-thread variant, which gives std::thread).
#   cmake -S . -B build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake ...
# Libraries cross-built elsewhere are found through KINETORA_MINGW_PREFIX (a folder with
# include/ and lib/), searched after the compiler's own sysroot.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KINETORA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KINETORA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KINETORA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KINETORA_MINGW_TRIPLE}-windres)

set(KINETORA_MINGW_PREFIX "" CACHE PATH "Cross-built libraries for the Windows build")
set(CMAKE_FIND_ROOT_PATH /usr/${KINETORA_MINGW_TRIPLE} ${KINETORA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
