#include "config/PreviewDialog.h"
#include "images/Image.h"
#include "textures/TextureImage.h"

#include "images/TestImages.h"
#include "images/TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <map>
#include <string>

using Size = CPreviewDialog::Size;

namespace {

// A mid-grey colour JPEG of any size, made in no time: every 16 x 16 unit of such a picture
// (four luminance blocks and one of each colour, all coefficients zero) codes to the same
// four bytes with the standard tables. A small picture from the library gives the headers;
// its size is patched and its one unit repeated.
testimages::Bytes HugeGreyJpeg(int width, int height) {
    const auto grey = [](int, int) { return testimages::Rgb{128, 128, 128}; };
    testimages::Bytes small = testimages::Jpeg(16, 16, 3, grey);
    const auto find = [&](std::uint8_t marker) {
        for (std::size_t i = 0; i + 1 < small.size(); ++i)
            if (small[i] == 0xFF && small[i + 1] == marker)
                return i;
        return small.size();
    };
    const std::size_t sof = find(0xC0);
    const std::size_t sos = find(0xDA);
    const std::size_t scan = sos + 2 + (std::size_t{small[sos + 2]} << 8 | small[sos + 3]);
    const testimages::Bytes unit{0x28, 0xA2, 0x8A, 0x00};
    if (sof >= small.size() || scan + unit.size() + 2 != small.size() ||
        !std::equal(unit.begin(), unit.end(), small.begin() + static_cast<std::ptrdiff_t>(scan)))
        return {}; // the library coded it some other way
    small[sof + 5] = static_cast<std::uint8_t>(height >> 8);
    small[sof + 6] = static_cast<std::uint8_t>(height);
    small[sof + 7] = static_cast<std::uint8_t>(width >> 8);
    small[sof + 8] = static_cast<std::uint8_t>(width);
    testimages::Bytes out(small.begin(), small.begin() + static_cast<std::ptrdiff_t>(scan));
    const std::size_t units = std::size_t((width + 15) / 16) * std::size_t((height + 15) / 16);
    out.reserve(out.size() + units * unit.size() + 2);
    for (std::size_t i = 0; i < units; ++i)
        out.insert(out.end(), unit.begin(), unit.end());
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

} // namespace

TEST(PreviewDialog, PicturesFitTheAreaInIntegerSteps) {
    // Values worked out by hand from the fitting rule.
    EXPECT_EQ(CPreviewDialog::FitSize(1600, 1200, 200, 150), (Size{200, 150}));
    EXPECT_EQ(CPreviewDialog::FitSize(120, 80, 200, 150), (Size{120, 80})) << "natural size";
    EXPECT_EQ(CPreviewDialog::FitSize(200, 150, 200, 150), (Size{200, 150}));
    EXPECT_EQ(CPreviewDialog::FitSize(300, 1000, 200, 150), (Size{45, 150}));
    // Wide: width first (200, 195), still too tall, so height 100 and width 400*100/390.
    EXPECT_EQ(CPreviewDialog::FitSize(400, 390, 200, 100), (Size{102, 100}));
    // Tall: height first (195, 200), still too wide, so width 100 and height 400*100/390.
    EXPECT_EQ(CPreviewDialog::FitSize(390, 400, 100, 200), (Size{100, 102}));
    EXPECT_EQ(CPreviewDialog::FitSize(201, 10, 200, 150), (Size{200, 9}));
    // Products beyond 32 bits do not wrap.
    EXPECT_EQ(CPreviewDialog::FitSize(64000000, 1000, 2000, 1500), (Size{2000, 0}));
    EXPECT_EQ(CPreviewDialog::FitSize(100, 100, 0, 150), (Size{}));
    EXPECT_EQ(CPreviewDialog::FitSize(0, 100, 200, 150), (Size{}));
}

TEST(PreviewDialog, AreaLiesRightOfTheListAboveTheStatusLine) {
    const CPreviewDialog::Rect dialog{100, 50, 700, 450};
    const CPreviewDialog::Rect list{110, 90, 300, 380};
    const CPreviewDialog::Rect status{110, 390, 690, 410};
    const CPreviewDialog::Rect area = CPreviewDialog::PreviewArea(dialog, list, status);
    EXPECT_EQ(area.left, 204);              // 300 - 100 + 4
    EXPECT_EQ(area.top, 20);                // 90 - 50 - 20
    EXPECT_EQ(area.right - area.left, 392); // 700 - 300 - 8
    EXPECT_EQ(area.bottom - area.top, 296); // 390 - 90 - 4
}

TEST(PreviewDialog, ListsImagesAndLoadsThemByExtension) {
    testimages::TempDir dir;
    const auto red = [](int, int) { return testimages::Rgb{255, 0, 0}; };
    dir.Put("small.BMP", testimages::Bmp24(3, 2, red));
    dir.Put("photo.jpg", testimages::Jpeg(16, 8, 3, red));
    dir.Put("broken.jpeg", {1, 2, 3, 4});
    dir.Put("bitmap-named.png", testimages::Bmp24(3, 2, red)); // a PNG decoder refuses it
    dir.Put("skipped.jpe");
    dir.Put("notes.txt");

    CPreviewDialog preview(dir.Path().string());
    std::vector<std::string> files = preview.Files();
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"bitmap-named.png", "broken.jpeg", "photo.jpg",
                                               "small.BMP"}));
    EXPECT_EQ(preview.Status(), "Select an image to view");

    const auto select = [&](const std::string& name) {
        const auto& list = preview.Files();
        preview.Select(static_cast<int>(std::find(list.begin(), list.end(), name) - list.begin()));
    };
    select("small.BMP");
    EXPECT_EQ(preview.Status(), "Size 3 x 2");
    ASSERT_NE(preview.Current(), nullptr);
    EXPECT_EQ(preview.Current()->ToDisplayPixels().front(), 0xFFFF0000u);
    select("photo.jpg");
    EXPECT_EQ(preview.Status(), "Size 16 x 8");
    const std::string failed =
        "Could not load the image. Perhaps it is 256 color format, rather than 24-bit.";
    select("broken.jpeg");
    EXPECT_EQ(preview.Status(), failed);
    EXPECT_EQ(preview.Current(), nullptr);
    select("bitmap-named.png");
    EXPECT_EQ(preview.Status(), failed);

    CPreviewDialog missing(dir.Path().string() + "/gone");
    EXPECT_TRUE(missing.Files().empty());
}

// The preview takes and refuses what the saver does: a 30000 x 30000 photograph, far above the
// pixel limit at full size, decodes at 1/8 for a screen as it does for the saver's window.
TEST(PreviewDialog, AHugeJpegShowsAsTheSaverShowsIt) {
    testimages::TempDir dir;
    const testimages::Bytes huge = HugeGreyJpeg(30000, 30000);
    ASSERT_FALSE(huge.empty()) << "the encoder's coding of a grey unit changed";
    dir.Put("huge.jpg", huge);
    dir.Put("small.jpg", testimages::Jpeg(40, 30, 3, [](int, int) {
                return testimages::Rgb{128, 128, 128};
            }));
    dir.Put("broken.jpg", {0xFF, 0xD8, 0xFF});

    constexpr int kScreen = 1920; // what the preview takes when its host cannot tell
    CPreviewDialog preview(dir.Path().string());
    ASSERT_EQ(preview.Files().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const std::string& name = preview.Files()[static_cast<std::size_t>(i)];
        preview.Select(i);
        const std::unique_ptr<Image> saver =
            TextureImage::Decode((dir.Path() / name).string(), kScreen);
        EXPECT_EQ(preview.Current() != nullptr, saver->IsValid()) << name;
        if (name == "huge.jpg") {
            EXPECT_EQ(preview.Status(), "Size 30000 x 30000") << "the file's own size";
            ASSERT_NE(preview.Current(), nullptr);
            EXPECT_EQ(preview.Current()->Width(), 3750);
            EXPECT_EQ(preview.Current()->Height(), 3750);
        } else if (name == "small.jpg") {
            EXPECT_EQ(preview.Status(), "Size 40 x 30");
        } else {
            EXPECT_EQ(preview.Current(), nullptr);
        }
    }
}

// The status gives the size the file holds, upright, whether the decoder scaled it for the
// screen or not: a 1/4 scale for a 100-pixel screen, and a quarter turn by the Exif block.
TEST(PreviewDialog, StatusGivesTheFilesOwnSizeForEveryFormat) {
    using namespace testimages;
    const auto pixel = [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 90};
    };
    TempDir dir;
    dir.Put(
        "a.png", Png(300, 200, 2, 8, false, [](int x, int y) {
            return Pixel16{static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y), 9, 255};
        }));
    dir.Put("b.jpg", Jpeg(300, 200, 3, pixel));
    dir.Put("c.jpg", WithApp1(Jpeg(300, 200, 3, pixel), ExifBlock(6, false, true)));
#ifndef KINETORA_NO_WEBP
    dir.Put("d.webp", WebP(300, 200, pixel, false));
    dir.Put("e.webp", WebP(300, 200, pixel, true, ExifBlock(6, false, false)));
#endif
#ifndef KINETORA_NO_HEIF
    dir.Put("f.heic", Heif(300, 200, pixel, false));
#endif
    const std::map<std::string, std::string> expected = {
        {"a.png", "Size 300 x 200"},  {"b.jpg", "Size 300 x 200"},  {"c.jpg", "Size 200 x 300"},
        {"d.webp", "Size 300 x 200"}, {"e.webp", "Size 200 x 300"}, {"f.heic", "Size 300 x 200"}};
    CPreviewDialog preview(dir.Path().string(), 100);
    ASSERT_FALSE(preview.Files().empty());
    for (int i = 0; i < static_cast<int>(preview.Files().size()); ++i) {
        const std::string& name = preview.Files()[static_cast<std::size_t>(i)];
        preview.Select(i);
        EXPECT_EQ(preview.Status(), expected.at(name)) << name;
        ASSERT_NE(preview.Current(), nullptr) << name;
        // Only the PNG is shown at its own size; the others were decoded at 1/4.
        const int longer = std::max(preview.Current()->Width(), preview.Current()->Height());
        EXPECT_EQ(longer, name == "a.png" ? 300 : 75) << name;
    }
}
