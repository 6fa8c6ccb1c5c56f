#include "config/PreviewDialog.h"
#include "images/Image.h"

#include "images/TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>

using Size = CPreviewDialog::Size;

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
