# The Windows build (mingw-w64 cross compiler): the engine, the Win32 host, Kinetora.scr and
# the unit suite that runs under Wine. The top-level file includes this in place of the
# Linux hosts; scripts/build-windows.sh drives it.
enable_language(RC)

if(MINGW)
    # Static libraries only (zlib also comes as an import library for its DLL).
    set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
    # One file that runs on a bare system: the C, C++ and thread runtimes linked in.
    add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# The help page sits beside the .scr (the settings store's "InstallFolder" fallback).
set(KINETORA_DATA_DIR "" CACHE PATH "Installed data folder")
include(${PROJECT_SOURCE_DIR}/cmake/Engine.cmake)
set(KINETORA_TESTS_DIR ${PROJECT_SOURCE_DIR}/tests)

file(GLOB KINETORA_WIN32_SOURCES CONFIGURE_DEPENDS ${KINETORA_SRC}/host/win32/*.cpp)
list(REMOVE_ITEM KINETORA_WIN32_SOURCES ${KINETORA_SRC}/host/win32/WinMain.cpp)
add_library(kinetora_win32 STATIC ${KINETORA_WIN32_SOURCES})
target_link_libraries(kinetora_win32 PUBLIC kinetora_engine comctl32 comdlg32 shell32 ole32
    shlwapi gdi32 user32 advapi32 version)
kinetora_set_warnings(kinetora_win32)

add_executable(Kinetora WIN32 ${KINETORA_SRC}/host/win32/WinMain.cpp
    ${KINETORA_SRC}/host/win32/Kinetora.rc)
set_target_properties(Kinetora PROPERTIES SUFFIX .scr)
# The version resource takes its numbers from the project.
target_compile_definitions(Kinetora PRIVATE
    KINETORA_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    KINETORA_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    KINETORA_VERSION_PATCH=${PROJECT_VERSION_PATCH})
target_link_libraries(Kinetora PRIVATE kinetora_win32)
kinetora_set_warnings(Kinetora)

if(NOT KINETORA_TESTS)
    return()
endif()

# The host-free unit suite, run under Wine. Off-screen drawing is a hidden WGL window, so
# the suite needs a display (Wine's X server) like the program itself.
find_package(GTest REQUIRED)
file(GLOB KINETORA_WIN_UNIT_TESTS CONFIGURE_DEPENDS
    ${KINETORA_TESTS_DIR}/core/*.cpp ${KINETORA_TESTS_DIR}/images/*.cpp
    ${KINETORA_TESTS_DIR}/patterns/*.cpp ${KINETORA_TESTS_DIR}/gl/*.cpp
    ${KINETORA_TESTS_DIR}/colour/*.cpp ${KINETORA_TESTS_DIR}/motion/*.cpp ${KINETORA_TESTS_DIR}/meshes/*.cpp
    ${KINETORA_TESTS_DIR}/textures/*.cpp ${KINETORA_TESTS_DIR}/shapes/*.cpp
    ${KINETORA_TESTS_DIR}/scene/*.cpp ${KINETORA_TESTS_DIR}/app/*.cpp
    ${KINETORA_TESTS_DIR}/config/*.cpp ${KINETORA_TESTS_DIR}/support/*.cpp
    ${KINETORA_TESTS_DIR}/host/win32/*.cpp)
# Not in the suite: the preview's parent program, the allocation count that interposes
# malloc through the Linux dynamic linker, and the POSIX file-system attacks (fork, FIFOs,
# links, names that are not UTF-8).
list(REMOVE_ITEM KINETORA_WIN_UNIT_TESTS ${KINETORA_TESTS_DIR}/host/win32/PreviewParent.cpp
    ${KINETORA_TESTS_DIR}/scene/FrameAllocationTest.cpp
    ${KINETORA_TESTS_DIR}/images/HostileFoldersTest.cpp)
# The off-screen host's drawing and read-back, over the suite's WGL surface.
# The saver's dialogs too (not its version): the sheet's test opens the real property sheet.
add_executable(kinetora_win_tests ${KINETORA_WIN_UNIT_TESTS}
    ${KINETORA_SRC}/host/offscreen/OffscreenHost.cpp ${KINETORA_SRC}/host/win32/Dialogs.rc)
target_include_directories(kinetora_win_tests PRIVATE ${KINETORA_TESTS_DIR})
# M_PI and friends, which glibc gives every C++ program.
target_compile_definitions(kinetora_win_tests PRIVATE _USE_MATH_DEFINES)
# GCC 12 at -O3 sees overlapping copies inside std::string, and reads and writes past the
# end inside std::vector::resize, where there are none.
target_compile_options(kinetora_win_tests PRIVATE -Wno-restrict -Wno-array-bounds
    -Wno-stringop-overread -Wno-stringop-overflow)
# The few POSIX calls of the shared test helpers (temporary folders, environment).
target_compile_options(kinetora_win_tests PRIVATE
    -include ${KINETORA_TESTS_DIR}/host/win32/PosixCompat.h)
target_link_libraries(kinetora_win_tests PRIVATE kinetora_win32 GTest::gtest GTest::gmock
    GTest::gtest_main)
# The WebP test pictures with EXIF chunks and frames are put together by the muxer.
if(TARGET WebP::libwebpmux)
    target_link_libraries(kinetora_win_tests PRIVATE WebP::libwebpmux)
endif()
kinetora_set_warnings(kinetora_win_tests)

# The parent window of the preview smoke test.
add_executable(kinetora_preview_parent WIN32 ${KINETORA_TESTS_DIR}/host/win32/PreviewParent.cpp)
target_link_libraries(kinetora_preview_parent PRIVATE user32 gdi32)
kinetora_set_warnings(kinetora_preview_parent)
