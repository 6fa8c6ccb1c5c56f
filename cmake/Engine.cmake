# The host-free engine and shell: every folder of src/ below src/host. No window system, no
# POSIX or Win32 call; OpenGL 1.1 with GLU is its only graphics dependency. Without
# KINETORA_DECODERS the picture readers are left out and every picture reads as not valid
# (a build for a platform whose libraries are not cross-built yet); KINETORA_WEBP and
# KINETORA_HEIF leave out one format each.
set(KINETORA_SRC ${PROJECT_SOURCE_DIR}/src)
file(GLOB KINETORA_ENGINE_SOURCES CONFIGURE_DEPENDS
    ${KINETORA_SRC}/core/*.cpp ${KINETORA_SRC}/images/*.cpp ${KINETORA_SRC}/patterns/*.cpp
    ${KINETORA_SRC}/gl/*.cpp ${KINETORA_SRC}/colour/*.cpp ${KINETORA_SRC}/motion/*.cpp ${KINETORA_SRC}/meshes/*.cpp
    ${KINETORA_SRC}/textures/*.cpp ${KINETORA_SRC}/shapes/*.cpp ${KINETORA_SRC}/scene/*.cpp
    ${KINETORA_SRC}/app/*.cpp ${KINETORA_SRC}/config/*.cpp)
# The HEIF decoding unit is the only caller of libheif, which loads five codec libraries: the
# Linux program loads it as a module on the first such picture (src/CMakeLists.txt); tests
# and fuzzers link kinetora_heif below.
set(KINETORA_HEIF_UNIT ${KINETORA_SRC}/images/HeifPicture.cpp)
list(REMOVE_ITEM KINETORA_ENGINE_SOURCES ${KINETORA_HEIF_UNIT})

add_library(kinetora_engine STATIC ${KINETORA_ENGINE_SOURCES})
target_include_directories(kinetora_engine PUBLIC ${KINETORA_SRC})
target_compile_definitions(kinetora_engine PUBLIC
    KINETORA_VERSION="${PROJECT_VERSION}"
    KINETORA_DATA_DIR="${KINETORA_DATA_DIR}")
# A seed replays the same scenes on every platform: the engine computes its own elementary
# functions (core/Maths), and no a * b + c may become a fused multiply-add on a target that
# has one (it rounds once instead of twice). Public: inline maths in headers is compiled by
# the engine's users too.
target_compile_options(kinetora_engine PUBLIC -ffp-contract=off)

find_package(OpenGL REQUIRED)
find_package(Threads REQUIRED)
if(TARGET OpenGL::OpenGL)
    target_link_libraries(kinetora_engine PUBLIC OpenGL::OpenGL)
else()
    target_link_libraries(kinetora_engine PUBLIC OpenGL::GL)
endif()
target_link_libraries(kinetora_engine PUBLIC OpenGL::GLU Threads::Threads)

if(KINETORA_DECODERS)
    find_package(JPEG REQUIRED)
    find_package(PNG REQUIRED)
    target_link_libraries(kinetora_engine PUBLIC JPEG::JPEG PNG::PNG)
else()
    target_compile_definitions(kinetora_engine PRIVATE KINETORA_NO_DECODERS)
endif()
# WebP through libwebp and its demuxer (still and animated files); HEIC and AVIF through
# libheif with the system's HEVC and AV1 decoders. Without them such files read as not valid.
# Private: the libraries' flags stay on the engine's own sources; users of the static
# library get only the link.
if(KINETORA_DECODERS AND KINETORA_WEBP)
    find_package(WebP CONFIG QUIET)
    if(TARGET WebP::webp AND TARGET WebP::webpdemux)
        target_link_libraries(kinetora_engine PRIVATE WebP::webpdemux WebP::webp)
    else()
        find_package(PkgConfig REQUIRED)
        pkg_check_modules(KINETORA_WEBP_PC REQUIRED IMPORTED_TARGET libwebpdemux libwebp)
        target_link_libraries(kinetora_engine PRIVATE PkgConfig::KINETORA_WEBP_PC)
    endif()
else()
    target_compile_definitions(kinetora_engine PUBLIC KINETORA_NO_WEBP)
endif()
# Through pkg-config: Debian's CMake file for libheif hands its users the library's own
# build definitions.
if(KINETORA_DECODERS AND KINETORA_HEIF)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(KINETORA_HEIF_PC REQUIRED IMPORTED_TARGET libheif)
    add_library(kinetora_heif STATIC ${KINETORA_HEIF_UNIT})
    target_link_libraries(kinetora_heif PUBLIC kinetora_engine PkgConfig::KINETORA_HEIF_PC)
    kinetora_set_warnings(kinetora_heif)
else()
    target_compile_definitions(kinetora_engine PUBLIC KINETORA_NO_HEIF)
endif()
kinetora_set_warnings(kinetora_engine)
