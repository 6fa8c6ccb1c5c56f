// An ending run gives a picture up inside the decode loops: the image is left not valid,
// and the same file decodes in full once no stop is pending.
#include "TestImages.h"
#include "core/StopRequest.h"
#include "images/ImageBMP.h"
#include "images/ImageJPEG.h"
#include "images/ImagePNG.h"

#include <gtest/gtest.h>

namespace {

using namespace testimages;

Rgb Gradient(int x, int y) {
    return Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 40};
}

class ImageStopTest : public ::testing::Test {
protected:
    void TearDown() override { StopRequest::Clear(); }

    // Valid without a stop, not valid with one.
    template <typename Decode> void Check(const Decode& decode) {
        EXPECT_TRUE(decode()->IsValid());
        StopRequest::Raise();
        EXPECT_FALSE(decode()->IsValid());
        StopRequest::Clear();
        EXPECT_TRUE(decode()->IsValid());
    }

    TempDir dir;
};

TEST_F(ImageStopTest, BitmapGivesUpBetweenPiecesOfItsBits) {
    const std::string path = dir.Put("a.bmp", Bmp24(300, 300, Gradient));
    Check([&] { return std::make_unique<ImageBMP>(path); });
}

TEST_F(ImageStopTest, JpegGivesUpBetweenScanlinesAndScans) {
    const std::string plain = dir.Put("a.jpg", Jpeg(64, 48, 3, Gradient));
    Check([&] { return std::make_unique<ImageJPEG>(plain, 1, false, 0); });
    // A progressive picture decodes all its scans inside the start of decompression.
    const std::string progressive = dir.Put("p.jpg", Jpeg(64, 48, 3, Gradient, true));
    Check([&] { return std::make_unique<ImageJPEG>(progressive, 1, false, 0); });
}

TEST_F(ImageStopTest, PngGivesUpBetweenRows) {
    const std::string path = dir.Put(
        "a.png", Png(40, 30, 2, 8, false, [](int x, int y) {
            return Pixel16{static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y), 9, 255};
        }));
    Check([&] { return std::make_unique<ImagePNG>(path); });
}

} // namespace
