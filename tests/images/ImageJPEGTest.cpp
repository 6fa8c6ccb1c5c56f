#include "images/ImageJPEG.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace testimages;

namespace {

// Four flat quarters, so lossy coding keeps the colours near their values.
Rgb Quarters(int x, int y, int w, int h) {
    const bool right = x >= w / 2;
    const bool bottom = y >= h / 2;
    if (!bottom)
        return right ? Rgb{20, 200, 40} : Rgb{220, 30, 30};
    return right ? Rgb{240, 240, 240} : Rgb{30, 40, 210};
}

std::unique_ptr<ImageJPEG> Decode(const Bytes& bytes, int divisor, bool swap, int sceneWidth) {
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(bytes.data()), bytes.size(), "rb");
    auto image = std::make_unique<ImageJPEG>(file, divisor, swap, sceneWidth);
    std::fclose(file);
    return image;
}

// The texture copy holds rows bottom-up: picture row y is copy row h - 1 - y.
void ExpectNear(const RGBImage& rgb, int x, int y, Rgb want) {
    const std::size_t at = 3 * (static_cast<std::size_t>(rgb.height - 1 - y) * rgb.width + x);
    EXPECT_NEAR(want.r, rgb.bytes[at], 8) << x << "," << y;
    EXPECT_NEAR(want.g, rgb.bytes[at + 1], 8) << x << "," << y;
    EXPECT_NEAR(want.b, rgb.bytes[at + 2], 8) << x << "," << y;
}

void ExpectQuarters(const Image& image) {
    const auto rgb = image.ToRGB();
    ASSERT_TRUE(rgb);
    const int w = rgb->width, h = rgb->height;
    ExpectNear(*rgb, w / 4, h / 4, {220, 30, 30});
    ExpectNear(*rgb, 3 * w / 4, h / 4, {20, 200, 40});
    ExpectNear(*rgb, w / 4, 3 * h / 4, {30, 40, 210});
    ExpectNear(*rgb, 3 * w / 4, 3 * h / 4, {240, 240, 240});
}

} // namespace

TEST(ImageJPEG, LargePhotoScalesToTheSceneWidth) {
    const Bytes photo =
        Jpeg(3000, 2000, 3, [](int x, int y) { return Quarters(x, y, 3000, 2000); });
    struct Case {
        int sceneWidth, divisor, width, height;
    };
    // 3000 / 4 = 750 is the first width within 800; 1600 / 2 is the same limit; without a
    // scene window the photo keeps its size; at most 1/8.
    for (const Case c : {Case{800, 1, 750, 500}, Case{1600, 1, 1500, 1000}, Case{1600, 2, 750, 500},
                         Case{0, 1, 3000, 2000}, Case{100, 1, 375, 250}, Case{800, 0, 750, 500}}) {
        SCOPED_TRACE(testing::Message() << "scene " << c.sceneWidth << " / " << c.divisor);
        const auto image = Decode(photo, c.divisor, false, c.sceneWidth);
        ASSERT_TRUE(image->IsValid());
        EXPECT_EQ(c.width, image->Width());
        EXPECT_EQ(c.height, image->Height());
        ExpectQuarters(*image);
    }
}

TEST(ImageJPEG, SwapHoldsBlueGreenRedAndOddWidthsArePadded) {
    const PixelFn pixel = [](int x, int y) { return Quarters(x, y, 13, 10); };
    for (const bool progressive : {false, true}) {
        const Bytes photo = Jpeg(13, 10, 3, pixel, progressive);
        const auto rgbOrder = Decode(photo, 1, false, 0);
        const auto bgrOrder = Decode(photo, 1, true, 0);
        ASSERT_TRUE(rgbOrder->IsValid() && bgrOrder->IsValid());
        EXPECT_EQ(1, bgrOrder->RowPadding());
        EXPECT_EQ(std::int64_t{(13 * 3 + 1) * 10}, bgrOrder->ImageSize());
        // First pixel of the block is the bottom-left one: blue, green, red when swapped.
        const std::uint8_t* bits = bgrOrder->Bits();
        EXPECT_NEAR(30, bits[2], 8);
        EXPECT_NEAR(210, bits[0], 8);
        EXPECT_EQ(0, bits[39]) << "padding stays zero";
        ExpectQuarters(*rgbOrder);
        ExpectQuarters(*bgrOrder);
        EXPECT_EQ(rgbOrder->ToDisplayPixels(), bgrOrder->ToDisplayPixels());
    }
}

TEST(ImageJPEG, GreyMissingAndBrokenFilesAreInvalid) {
    const PixelFn pixel = [](int x, int y) { return Quarters(x, y, 16, 16); };
    EXPECT_FALSE(Decode(Jpeg(16, 16, 1, pixel), 1, false, 0)->IsValid());
    EXPECT_FALSE(ImageJPEG("/nonexistent/a.jpg", 1, false, 0).IsValid());

    const Bytes whole = Jpeg(40, 24, 3, pixel);
    for (std::size_t n = 1; n < whole.size(); ++n) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(Decode(cut, 1, false, 0)->IsValid()) << "cut at " << n;
    }
}

// A header that claims a huge size over a few bytes of data: refused before any pixel is
// allocated (64250 x 64250 is over the pixel limit even at 1/8), or, within the limit,
// failing for want of data or of decoder memory, never exhausting memory.
TEST(ImageJPEG, HugeClaimedSizeIsRefused) {
    for (const bool progressive : {false, true}) {
        for (const auto& [w, h] : {std::pair{64250, 64250}, std::pair{6000, 3000}}) {
            Bytes photo = Jpeg(
                16, 16, 3, [](int x, int y) { return Quarters(x, y, 16, 16); }, progressive);
            // Patch the start-of-frame marker (baseline C0 or progressive C2): height, width.
            std::size_t sof = 2;
            while (!(photo[sof] == 0xFF && (photo[sof + 1] == 0xC0 || photo[sof + 1] == 0xC2)))
                ++sof;
            photo[sof + 5] = static_cast<std::uint8_t>(h >> 8);
            photo[sof + 6] = static_cast<std::uint8_t>(h);
            photo[sof + 7] = static_cast<std::uint8_t>(w >> 8);
            photo[sof + 8] = static_cast<std::uint8_t>(w);
            for (const int sceneWidth : {0, 800, 8000}) {
                EXPECT_FALSE(Decode(photo, 1, false, sceneWidth)->IsValid())
                    << w << "x" << h << " scene " << sceneWidth << " progressive " << progressive;
            }
        }
    }
}

TEST(ImageJPEG, ScaleDenominatorUsesWholeDivisions) {
    EXPECT_EQ(1, ImageJPEG::ScaleDenominator(800, 600, 1, 800));
    EXPECT_EQ(2, ImageJPEG::ScaleDenominator(801, 600, 1, 800));
    EXPECT_EQ(2, ImageJPEG::ScaleDenominator(600, 1601, 1, 800)); // 1601 / 2 = 800
    EXPECT_EQ(8, ImageJPEG::ScaleDenominator(100000, 10, 1, 800));
    EXPECT_EQ(8, ImageJPEG::ScaleDenominator(10, 10, 100, 50)); // limit 0
}
