#include "textures/TextureImage.h"

#include "colour/ColourTable.h"
#include "core/Random.h"
#include "core/StopRequest.h"
#include "images/TestImages.h"
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
    const TextureImage texture(rng, path, 800);
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
    // Grey, palette and 8-bit pictures are shown, as 24-bit copies.
    for (const std::string& path : {greyJpeg, palettePng, eightBit}) {
        Random rng(1);
        const TextureImage texture(rng, path, 800);
        ASSERT_TRUE(texture.IsValid()) << path;
        EXPECT_EQ(texture.Pixels()->width, 8 - 4 * (path != greyJpeg)) << path;
    }
    for (const std::string& path :
         {misnamed, dir.Path().string() + "/missing.jpg", std::string()}) {
        Random rng(1);
        const TextureImage texture(rng, path, 800);
        EXPECT_FALSE(texture.IsValid()) << path;
        EXPECT_EQ(texture.Pixels(), nullptr);
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
    const TextureImage texture(rng, path, 800);
    ASSERT_TRUE(texture.IsValid());
    const RGBImage& pixels = *texture.Pixels();
    table.BuildPhotoBands(pixels.width, pixels.height, pixels.bytes.data());
    EXPECT_EQ(table.bandCount(), 25);
    EXPECT_EQ(table.Colors(), colours);
}

TEST(TextureImageTest, LargeJpegDecodesScaledToTheWindow) {
    const testimages::TempDir dir;
    const std::string path = dir.Put("wide.jpeg", testimages::Jpeg(1700, 40, 3, Gradient));
    Random rng(1);
    EXPECT_EQ(TextureImage(rng, path, 800).Pixels()->width, 425); // 1700 / 4
    EXPECT_EQ(TextureImage(rng, path, 0).Pixels()->width, 1700);
}

RGBImage Uniform(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    RGBImage image{width, height, {}};
    for (int i = 0; i < width * height; ++i)
        image.bytes.insert(image.bytes.end(), {r, g, b});
    return image;
}

// Red channel of a one-row picture.
std::vector<int> Reds(const RGBImage& image) {
    std::vector<int> reds;
    for (std::size_t i = 0; i < image.bytes.size(); i += 3)
        reds.push_back(image.bytes[i]);
    return reds;
}

bool AlwaysGoOn() {
    return true;
}

// Worked by hand: three texels stretched over four, each new texel covering three
// quarters of an old one; then halvings of a one-texel-high picture average pairs.
TEST(TextureImageTest, LevelsAverageByAreaDownToOneTexel) {
    RGBImage row{3, 1, {0, 0, 0, 90, 90, 90, 180, 180, 180}};
    const std::vector<RGBImage> levels = TextureImage::MipLevels(row, 0, AlwaysGoOn);
    ASSERT_EQ(levels.size(), 3u);
    EXPECT_EQ(Reds(levels[0]), (std::vector<int>{0, 60, 120, 180}));
    EXPECT_EQ(Reds(levels[1]), (std::vector<int>{30, 150}));
    EXPECT_EQ(Reds(levels[2]), (std::vector<int>{90}));

    // Nearest power of two, 3 * 2^k and up rounding up.
    for (const auto& [side, power] : std::vector<std::pair<int, int>>{{1, 1},
                                                                      {2, 2},
                                                                      {3, 4},
                                                                      {5, 4},
                                                                      {6, 8},
                                                                      {750, 512},
                                                                      {767, 512},
                                                                      {768, 1024},
                                                                      {1000, 1024}})
        EXPECT_EQ(TextureImage::NearestPowerOfTwo(side), power) << side;

    // A picture of one colour keeps it on every level, each half the last.
    const RGBImage photo = Uniform(1000, 750, 10, 200, 77);
    const std::vector<RGBImage> full = TextureImage::MipLevels(photo, 0, AlwaysGoOn);
    ASSERT_EQ(full.size(), 11u);
    for (std::size_t k = 0; k < full.size(); ++k) {
        EXPECT_EQ(full[k].width, std::max(1024 >> k, 1)) << k;
        EXPECT_EQ(full[k].height, std::max(512 >> k, 1)) << k;
        EXPECT_EQ(full[k].bytes, Uniform(full[k].width, full[k].height, 10, 200, 77).bytes) << k;
    }
    const std::vector<RGBImage> limited = TextureImage::MipLevels(photo, 256, AlwaysGoOn);
    ASSERT_EQ(limited.size(), 9u);
    EXPECT_EQ(limited[0].width, 256);
    EXPECT_EQ(limited[0].height, 128);
}

// Whichever check the stop comes at, the whole build is given up: nothing half-built comes
// back and nothing more is asked after the stop. Checks come every few rows, so no stretch
// of work between two is long.
TEST(TextureImageTest, StopAtAnyCheckGivesUpEveryLevel) {
    const RGBImage photo = Uniform(300, 200, 1, 2, 3); // level 0: 256 x 256
    int checks = 0;
    ASSERT_EQ(TextureImage::MipLevels(photo, 0, [&] { return ++checks > 0; }).size(), 9u);
    EXPECT_GE(checks, 256 / 16 + 8);
    for (int stopAt = 1; stopAt <= checks; ++stopAt) {
        int asked = 0;
        EXPECT_TRUE(TextureImage::MipLevels(photo, 0, [&] { return ++asked < stopAt; }).empty())
            << stopAt;
        EXPECT_EQ(asked, stopAt);
    }
}

// Under a stop a photograph makes no texture object and keeps its copy; a list compiled
// around it issues nothing, so the texture defined before stays.
TEST(TextureImageTest, ApplyUnderAStopIssuesNothing) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    const testimages::TempDir dir;
    const std::string path = dir.Put("a.bmp", testimages::Bmp24(6, 5, Gradient));
    Random rng(1);
    TextureImage texture(rng, path, 800);
    ASSERT_TRUE(texture.IsValid());
    const std::uint8_t texel[2 * 2 * 3] = {};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    StopRequest::Raise();
    const bool uploaded = texture.Upload();
    StopRequest::Clear();
    EXPECT_FALSE(uploaded);
    EXPECT_EQ(texture.Object(), 0u);
    EXPECT_NE(texture.Pixels(), nullptr);
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    const bool applied = texture.Apply();
    glEndList();
    EXPECT_FALSE(applied);
    glDisable(GL_TEXTURE_2D);
    glCallList(list);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 2);
    glDeleteLists(list, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

GLint LevelWidth(int level) {
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    return width;
}

// The photograph goes once into a texture object, every level of it, and the decoded copy
// goes; a list binds the object and carries no picture of its own (one put into the object
// later is what the list shows). The object dies with the texture.
TEST(TextureImageTest, UploadMovesThePictureIntoATextureObjectAListBinds) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    const testimages::TempDir dir;
    const std::string path = dir.Put("a.bmp", testimages::Bmp24(6, 5, Gradient));
    const int copies = TextureImage::LiveCopies();
    const GLuint list = glGenLists(1);
    GLuint object = 0;
    {
        Random rng(1);
        TextureImage texture(rng, path, 800);
        ASSERT_TRUE(texture.IsValid());
        EXPECT_EQ(TextureImage::LiveCopies(), copies + 1);
        ASSERT_TRUE(texture.Upload());
        object = texture.Object();
        ASSERT_NE(object, 0u);
        EXPECT_TRUE(texture.IsValid());
        EXPECT_EQ(texture.Pixels(), nullptr);
        EXPECT_EQ(TextureImage::LiveCopies(), copies);
        ASSERT_TRUE(texture.Upload()); // once only
        EXPECT_EQ(texture.Object(), object);

        glBindTexture(GL_TEXTURE_2D, object);
        // 6 x 5 to the nearest powers of two, 8 x 4, then halved down to 1 x 1.
        EXPECT_EQ(LevelWidth(0), 8);
        EXPECT_EQ(LevelWidth(3), 1);
        GLint height = 0;
        GLint minFilter = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        EXPECT_EQ(height, 4);
        EXPECT_EQ(minFilter, GL_LINEAR);

        glBindTexture(GL_TEXTURE_2D, 0);
        glNewList(list, GL_COMPILE);
        EXPECT_TRUE(texture.Apply());
        glEndList();
        glBindTexture(GL_TEXTURE_2D, object);
        const std::uint8_t marker[3] = {9, 8, 7};
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, 3, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, marker);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
        glCallList(list);
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        GLint bound = 0;
        GLint mode = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
        EXPECT_EQ(static_cast<GLuint>(bound), object);
        EXPECT_EQ(LevelWidth(0), 1);
        EXPECT_EQ(mode, GL_DECAL);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
    }
    EXPECT_FALSE(glIsTexture(object));
    glDeleteLists(list, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
