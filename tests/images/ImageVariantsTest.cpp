// The common variants of the older formats all become 24-bit pictures: grey and CMYK JPEG,
// grey, grey with alpha and palette PNG, and bitmaps of every depth, top-down included.
// Each is checked against colours worked out here, not by the decoders.
#include "images/ImageBMP.h"
#include "images/ImageJPEG.h"
#include "images/ImagePNG.h"

#include "PixelChecks.h"
#include "TestPictures.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <memory>

using namespace testimages;

namespace {

std::unique_ptr<RGBImage> Rgb24(const Image& image) {
    EXPECT_TRUE(image.IsValid());
    if (!image.IsValid())
        return nullptr;
    EXPECT_EQ(24, image.BitCount());
    return image.ToRGB();
}

Rgb Quarter(int x, int y, int w, int h) {
    static const Rgb q[4] = {{200, 40, 40}, {40, 160, 60}, {50, 60, 200}, {128, 128, 128}};
    return q[(y >= h / 2 ? 2 : 0) + (x >= w / 2 ? 1 : 0)];
}

void Put(Bytes& b, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A bitmap with a 40-byte header, `value(x, y)` the bits of pixel (x, y) (a colour index up
// to 8 bits, the pixel itself for 16 and 32), rows bottom-up unless topDown.
Bytes Bitmap(int w, int h, int bpp, const std::vector<Rgb>& palette,
             const std::function<std::uint32_t(int, int)>& value, bool topDown) {
    const int stride = ((bpp * w + 31) / 32) * 4;
    Bytes rows;
    for (int r = 0; r < h; ++r) {
        const int y = topDown ? r : h - 1 - r;
        Bytes row(static_cast<std::size_t>(stride), 0);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = value(x, y);
            if (bpp < 8) {
                const int bit = x * bpp; // from the high end of each byte
                row[static_cast<std::size_t>(bit / 8)] |=
                    static_cast<std::uint8_t>(v << (8 - bpp - bit % 8));
            } else {
                for (int i = 0; i < bpp / 8; ++i)
                    row[static_cast<std::size_t>(x * bpp / 8 + i)] =
                        static_cast<std::uint8_t>(v >> (8 * i));
            }
        }
        rows.insert(rows.end(), row.begin(), row.end());
    }
    const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(palette.size());
    Bytes b = {'B', 'M'};
    Put(b, offset + static_cast<std::uint32_t>(rows.size()), 4);
    Put(b, 0, 4);
    Put(b, offset, 4);
    Put(b, 40, 4);
    Put(b, static_cast<std::uint32_t>(w), 4);
    Put(b, static_cast<std::uint32_t>(topDown ? -h : h), 4);
    Put(b, 1, 2);
    Put(b, static_cast<std::uint32_t>(bpp), 2);
    Put(b, 0, 4);
    Put(b, static_cast<std::uint32_t>(rows.size()), 4);
    Put(b, 0, 4);
    Put(b, 0, 4);
    Put(b, static_cast<std::uint32_t>(palette.size()), 4);
    Put(b, 0, 4);
    for (const Rgb& c : palette)
        b.insert(b.end(), {c.b, c.g, c.r, 0});
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

} // namespace

TEST(ImageVariants, GreyJpegIsGreyRgb) {
    const Bytes jpeg = Jpeg(16, 16, 1, [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x < 8 ? 40 : 210), 0, static_cast<std::uint8_t>(y)};
    });
    const auto rgb = Rgb24(*DecodeBytes<ImageJPEG>(jpeg, 1, false, 0));
    ASSERT_TRUE(rgb);
    ExpectNearRgb({40, 40, 40}, PixelAt(*rgb, 2, 8), 4);
    ExpectNearRgb({210, 210, 210}, PixelAt(*rgb, 13, 8), 4);
}

TEST(ImageVariants, CmykAndYcckJpegConvertTheInks) {
    for (const bool ycck : {false, true}) {
        SCOPED_TRACE(ycck ? "YCCK" : "CMYK");
        const auto pixel = [](int x, int y) { return Quarter(x, y, 32, 32); };
        const auto rgb = Rgb24(*DecodeBytes<ImageJPEG>(JpegCmyk(32, 32, pixel, ycck), 1, false, 0));
        ASSERT_TRUE(rgb);
        for (const auto& [x, y] :
             {std::pair{4, 4}, std::pair{27, 4}, std::pair{4, 27}, std::pair{27, 27}})
            ExpectNearRgb(pixel(x, y), PixelAt(*rgb, x, y), 10);
    }
}

TEST(ImageVariants, GreyAndPalettePngBecomeRgb) {
    const auto grey = [](int x, int y) {
        const auto v = static_cast<std::uint16_t>(x * 20 + y);
        return Pixel16{v, 0, 0, 255};
    };
    const auto grey8 =
        Rgb24(*DecodeBytes<ImagePNG>(Png(9, 5, PNG_COLOR_TYPE_GRAY, 8, false, grey)));
    ASSERT_TRUE(grey8);
    EXPECT_EQ((Rgb{161, 161, 161}), PixelAt(*grey8, 8, 1));

    // The test writer's palette entry i is (i, 0, 0); the index is the red channel.
    const auto palette =
        Rgb24(*DecodeBytes<ImagePNG>(Png(6, 4, PNG_COLOR_TYPE_PALETTE, 8, true, [](int x, int y) {
            return Pixel16{static_cast<std::uint16_t>(40 * x + y), 0, 0, 0};
        })));
    ASSERT_TRUE(palette);
    EXPECT_EQ((Rgb{203, 0, 0}), PixelAt(*palette, 5, 3));

    // Grey with alpha in 16 bits: opaque keeps its grey, clear shows the background.
    const auto alpha = Rgb24(
        *DecodeBytes<ImagePNG>(Png(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, [](int x, int) {
            const auto a = static_cast<std::uint16_t>(x == 0 ? 0xFFFF : 0);
            return Pixel16{0x8080, 0, 0, a};
        })));
    ASSERT_TRUE(alpha);
    EXPECT_EQ((Rgb{128, 128, 128}), PixelAt(*alpha, 0, 0));
    EXPECT_EQ((Rgb{31, 127, 255}), PixelAt(*alpha, 1, 0));
}

TEST(ImageVariants, BitmapsOfEveryDepthBottomUpAndTopDown) {
    const std::vector<Rgb> two = {{0, 0, 0}, {250, 240, 230}};
    const std::vector<Rgb> sixteen = [] {
        std::vector<Rgb> p;
        for (int i = 0; i < 16; ++i)
            p.push_back(
                {static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(255 - i * 16), 7});
        return p;
    }();
    const int w = 13, h = 5; // odd width: every depth has row padding
    for (const bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        const auto one = Rgb24(*DecodeBytes<ImageBMP>(Bitmap(
            w, h, 1, two, [](int x, int y) { return (x + y) % 2u; }, topDown)));
        ASSERT_TRUE(one);
        EXPECT_EQ(two[1], PixelAt(*one, 0, 1));
        EXPECT_EQ(two[0], PixelAt(*one, 12, 2));

        const auto four = Rgb24(*DecodeBytes<ImageBMP>(Bitmap(
            w, h, 4, sixteen, [](int x, int y) { return (x + 3u * y) % 16; }, topDown)));
        ASSERT_TRUE(four);
        EXPECT_EQ(sixteen[(12 + 3 * 4) % 16], PixelAt(*four, 12, 4));
        EXPECT_EQ(sixteen[3], PixelAt(*four, 0, 1));

        const auto eight = Rgb24(*DecodeBytes<ImageBMP>(Bitmap(
            w, h, 8, sixteen, [](int x, int) { return x % 16u; }, topDown)));
        ASSERT_TRUE(eight);
        EXPECT_EQ(sixteen[11], PixelAt(*eight, 11, 0));

        // 16 bits, 5-5-5: pure red at the top left, pure blue at the bottom right.
        const auto sixteenBit = Rgb24(*DecodeBytes<ImageBMP>(Bitmap(
            w, h, 16, {},
            [](int x, int y) {
                return x == 0 && y == 0 ? 0x7C00u : (x == w - 1 && y == h - 1 ? 0x001Fu : 0x4210u);
            },
            topDown)));
        ASSERT_TRUE(sixteenBit);
        EXPECT_EQ((Rgb{255, 0, 0}), PixelAt(*sixteenBit, 0, 0));
        EXPECT_EQ((Rgb{0, 0, 255}), PixelAt(*sixteenBit, w - 1, h - 1));
        EXPECT_EQ((Rgb{131, 131, 131}), PixelAt(*sixteenBit, 5, 2)) << "16 of 31";

        const auto thirtyTwo = Rgb24(*DecodeBytes<ImageBMP>(Bitmap(
            w, h, 32, {},
            [](int x, int y) { return 0x00010203u * static_cast<unsigned>(x + 10 * y); },
            topDown)));
        ASSERT_TRUE(thirtyTwo);
        const unsigned v = 12 + 10 * 3;
        EXPECT_EQ((Rgb{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(2 * v),
                       static_cast<std::uint8_t>(3 * v)}),
                  PixelAt(*thirtyTwo, 12, 3));
    }
}
