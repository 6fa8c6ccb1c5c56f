// Writes the fuzzers' seed corpus: small pictures of every kind the decoders meet, made
// with the test encoders. Usage: fuzz_seeds <folder> (makes a folder per harness in it).

#include "TestImages.h"
#include "TestPictures.h"

#include <png.h>

#include <filesystem>
#include <iostream>

using namespace testimages;

namespace {

Rgb Colours(int x, int y) {
    return Rgb{static_cast<std::uint8_t>(37 * x), static_cast<std::uint8_t>(53 * y),
               static_cast<std::uint8_t>(11 * (x + y))};
}

Pixel16 Colours16(int x, int y) {
    return {static_cast<std::uint16_t>(4099 * x), static_cast<std::uint16_t>(7001 * y),
            static_cast<std::uint16_t>(1234 * (x + y)), static_cast<std::uint16_t>(9000 * x)};
}

Pixel16 Colours8(int x, int y) {
    const Pixel16 p = Colours16(x, y);
    return {static_cast<std::uint16_t>(p[0] >> 8), static_cast<std::uint16_t>(p[1] >> 8),
            static_cast<std::uint16_t>(p[2] >> 8), static_cast<std::uint16_t>(p[3] >> 8)};
}

std::uint8_t Index(int x, int y) {
    return static_cast<std::uint8_t>(x * 3 + y);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: fuzz_seeds <folder>\n";
        return 2;
    }
    const std::filesystem::path root = argv[1];
    for (const char* kind : {"bmp", "jpeg", "png", "webp", "heif", "exif"})
        std::filesystem::create_directories(root / kind);
    const std::vector<Rgb> palette = {{0, 0, 0}, {255, 255, 255}, {200, 10, 10}, {1, 2, 3}};

    WriteFile(root / "bmp/24.bmp", Bmp24(5, 3, Colours));
    WriteFile(root / "bmp/24-noheader.bmp", Bmp24(3, 2, Colours, BmpHeader::NoFile));
    WriteFile(root / "bmp/24-core.bmp", Bmp24(4, 4, Colours, BmpHeader::Core));
    WriteFile(root / "bmp/8-used.bmp", Bmp8(7, 3, Index, palette, true));
    WriteFile(root / "bmp/8-full.bmp", Bmp8(3, 3, Index, palette, false));
    WriteFile(root / "bmp/8-core.bmp", Bmp8(2, 5, Index, palette, false, BmpHeader::Core));

    WriteFile(root / "jpeg/baseline.jpg", Jpeg(19, 11, 3, Colours));
    WriteFile(root / "jpeg/progressive.jpg", Jpeg(24, 17, 3, Colours, true));
    WriteFile(root / "jpeg/wide.jpg", Jpeg(130, 8, 3, Colours));
    WriteFile(root / "jpeg/grey.jpg", Jpeg(8, 8, 1, Colours));

    WriteFile(root / "png/rgb.png", Png(7, 5, PNG_COLOR_TYPE_RGB, 8, false, Colours8));
    WriteFile(root / "png/rgba16.png", Png(6, 4, PNG_COLOR_TYPE_RGB_ALPHA, 16, false, Colours16));
    WriteFile(root / "png/interlaced.png", Png(9, 9, PNG_COLOR_TYPE_RGB_ALPHA, 8, true, Colours8));
    WriteFile(root / "png/rgb16-interlaced.png",
              Png(5, 6, PNG_COLOR_TYPE_RGB, 16, true, Colours16));
    WriteFile(root / "png/grey.png", Png(4, 4, PNG_COLOR_TYPE_GRAY, 8, false, Colours8));
    WriteFile(root / "png/palette.png", Png(4, 4, PNG_COLOR_TYPE_PALETTE, 8, false, Colours8));

    const AlphaFn alpha = [](int x, int y) { return static_cast<std::uint8_t>(40 * x + y); };
    WriteFile(root / "jpeg/exif.jpg", WithApp1(Jpeg(9, 5, 3, Colours), ExifBlock(6, true, true)));
    WriteFile(root / "jpeg/cmyk.jpg", JpegCmyk(8, 8, Colours, false));
    WriteFile(root / "jpeg/ycck.jpg", JpegCmyk(8, 8, Colours, true));
    WriteFile(root / "webp/lossy.webp", WebP(9, 7, Colours, false));
    WriteFile(root / "webp/lossless-alpha.webp", WebP(6, 5, Colours, true, {}, alpha));
    WriteFile(root / "webp/exif.webp", WebP(5, 3, Colours, true, ExifBlock(8, false, false)));
    WriteFile(root / "webp/animated.webp",
              WebPAnimated(4, 4, Colours, [](int x, int y) { return Colours(y, x); }));
    WriteFile(root / "heif/plain.heic", Heif(16, 8, Colours, false));
    WriteFile(root / "heif/alpha.heic", Heif(8, 8, Colours, false, {}, alpha));
    WriteFile(root / "heif/plain.avif", Heif(16, 8, Colours, true, ExifBlock(3, true, true)));
    for (int o = 1; o <= 8; ++o)
        WriteFile(root / ("exif/" + std::to_string(o) + ".tiff"), ExifBlock(o, o % 2 == 0, o > 4));
    return 0;
}
