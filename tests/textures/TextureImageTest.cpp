#include "textures/TextureImage.h"

#include "core/Random.h"
#include "images/TestImages.h"
#include "motion/ColourTable.h"
#include "support/TestApp.h"

#include <GL/gl.h>
#include <png.h>

#include <gtest/gtest.h>

namespace {

using testimages::Rgb;

Rgb Gradient(int x, int y) {
    return {static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 60), 200};
}

TEST(TextureImageTest, ExtensionPicksTheDecoder) {
    using D = TextureImage::Decoder;
    EXPECT_EQ(TextureImage::DecoderFor("/p/a.png"), D::Png);
    EXPECT_EQ(TextureImage::DecoderFor("/p/A.PNG"), D::Png);
    EXPECT_EQ(TextureImage::DecoderFor("/p/a.Bmp"), D::Bitmap);
    for (const char* path : {"/p/a.jpeg", "/p/a.jpe", "/p/a.JPG", "/p/a.gif", "/p/noext",
                             "/p/a.png/picture", "/p/a.", ""})
        EXPECT_EQ(TextureImage::DecoderFor(path), D::Jpeg) << path;
}

TEST(TextureImageTest, PngInCapitalsDecodesAsPngIntoBottomUpRgb) {
    const testimages::TempDir dir;
    // 5 x 3, so a bitmap row would carry padding; the copy has none.
    const std::string path =
        dir.Put("SHOT.PNG", testimages::Png(5, 3, PNG_COLOR_TYPE_RGB, 8, false, [](int x, int y) {
                    const Rgb c = Gradient(x, y);
                    return testimages::Pixel16{c.r, c.g, c.b, 255};
                }));
    Random rng(1);
    const TextureImage texture(rng, path, 800, nullptr);
    ASSERT_TRUE(texture.IsValid());
    const RGBImage& rgb = *texture.Pixels();
    EXPECT_EQ(rgb.width, 5);
    EXPECT_EQ(rgb.height, 3);
    ASSERT_EQ(rgb.bytes.size(), 5u * 3u * 3u);
    // Row 0 of the copy is the bottom of the picture (y = 2).
    for (int x = 0; x < 5; ++x) {
        const Rgb c = Gradient(x, 2);
        EXPECT_EQ(rgb.bytes[x * 3], c.r);
        EXPECT_EQ(rgb.bytes[x * 3 + 1], c.g);
        EXPECT_EQ(rgb.bytes[x * 3 + 2], c.b);
    }
}

TEST(TextureImageTest, PicturesATextureCannotShowLeaveItInvalid) {
    const testimages::TempDir dir;
    const auto grey = [](int x, int y) { return Gradient(x, y); };
    const std::string greyJpeg = dir.Put("grey.jpg", testimages::Jpeg(8, 8, 1, grey));
    const std::string palettePng = dir.Put(
        "palette.png", testimages::Png(4, 4, PNG_COLOR_TYPE_PALETTE, 8, false, [](int x, int) {
            return testimages::Pixel16{static_cast<std::uint16_t>(x), 0, 0, 0};
        }));
    const std::string eightBit =
        dir.Put("eight.bmp", testimages::Bmp8(
                                 4, 4, [](int x, int) { return static_cast<std::uint8_t>(x); },
                                 {{0, 0, 0}, {255, 0, 0}}, false));
    // A PNG under a JPEG name goes to the JPEG decoder, which refuses it.
    const std::string misnamed =
        dir.Put("png.jpg", testimages::Png(4, 4, PNG_COLOR_TYPE_RGB, 8, false, [](int, int) {
                    return testimages::Pixel16{1, 2, 3, 255};
                }));
    const int before = TextureImage::LiveCount();
    for (const std::string& path : {greyJpeg, palettePng, eightBit, misnamed,
                                    dir.Path().string() + "/missing.jpg", std::string()}) {
        Random rng(1);
        ColourTable table;
        table.BuildColourTableFromSeed(256, 3);
        const int bands = table.bandCount();
        const TextureImage texture(rng, path, 800, &table);
        EXPECT_FALSE(texture.IsValid()) << path;
        EXPECT_EQ(texture.Pixels(), nullptr);
        EXPECT_EQ(table.bandCount(), bands) << "no photograph, no recolouring";
        EXPECT_EQ(TextureImage::LiveCount(), before + 1);
    }
    EXPECT_EQ(TextureImage::LiveCount(), before);
}

TEST(TextureImageTest, RecolouringRederivesThePaletteOnly) {
    const testimages::TempDir dir;
    const std::string path = dir.Put("a.jpg", testimages::Jpeg(40, 30, 3, Gradient));
    ColourTable table;
    table.BuildColourTableFromSeed(256, 3);
    const std::vector<Color> colours = table.Colors();
    Random rng(1);
    const TextureImage texture(rng, path, 800, &table);
    ASSERT_TRUE(texture.IsValid());
    EXPECT_EQ(table.bandCount(), 25);
    EXPECT_EQ(table.Colors(), colours);
}

TEST(TextureImageTest, LargeJpegDecodesScaledToTheWindow) {
    const testimages::TempDir dir;
    const std::string path = dir.Put("wide.jpeg", testimages::Jpeg(1700, 40, 3, Gradient));
    Random rng(1);
    EXPECT_EQ(TextureImage(rng, path, 800, nullptr).Pixels()->width, 425); // 1700 / 4
    EXPECT_EQ(TextureImage(rng, path, 0, nullptr).Pixels()->width, 1700);
}

// The photograph goes into a list as a power-of-two image; the list keeps it after the
// texture is gone.
TEST(TextureImageTest, ApplyIssuesTheImageIntoAList) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    const testimages::TempDir dir;
    const std::string path = dir.Put("a.bmp", testimages::Bmp24(6, 5, Gradient));
    const GLuint list = glGenLists(1);
    {
        Random rng(1);
        const TextureImage texture(rng, path, 800, nullptr);
        ASSERT_TRUE(texture.IsValid());
        glNewList(list, GL_COMPILE);
        texture.Apply();
        glEndList();
    }
    glDisable(GL_TEXTURE_2D);
    glCallList(list);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint width = 0;
    GLint height = 0;
    GLint mode = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_GT(width, 0);
    EXPECT_GT(height, 0);
    EXPECT_EQ(width & (width - 1), 0);
    EXPECT_EQ(height & (height - 1), 0);
    EXPECT_EQ(mode, GL_DECAL);
    glDisable(GL_TEXTURE_2D);
    glDeleteLists(list, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
