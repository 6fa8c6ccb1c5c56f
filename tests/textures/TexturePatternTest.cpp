#include "textures/TexturePattern.h"

#include "colour/ColourTable.h"
#include "core/Random.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

ColourTable Table() {
    ColourTable table;
    table.BuildColourTableFromSeed(256, 7);
    return table;
}

// The texel at (row, column) as three floats.
std::array<float, 3> Texel(const TexturePattern::Image& image, int row, int column) {
    const std::size_t at = (static_cast<std::size_t>(row) * image.width + column) * 3;
    return {image.texels[at], image.texels[at + 1], image.texels[at + 2]};
}

bool IsMirrorSymmetric(const TexturePattern::Image& image) {
    const int a = image.height;
    const int b = image.width;
    for (int i = 0; i < a; ++i)
        for (int j = 0; j < b; ++j)
            if (Texel(image, i, j) != Texel(image, a - 1 - i, j) ||
                Texel(image, i, j) != Texel(image, i, b - 1 - j))
                return false;
    return true;
}

// The first seed whose texture has the given sides and format at full speed.
long SeedWithSides(const ColourTable& table, int height, int width, GLenum format) {
    for (long seed = 1; seed < 2000; ++seed) {
        Random rng(seed);
        const TexturePattern::Image image = TexturePattern::Compute(rng, table, 1.0);
        if (image.height == height && image.width == width && image.internalFormat == format)
            return seed;
    }
    return 0;
}

TEST(TexturePatternTest, SlowestMachineGetsFourByFour) {
    const ColourTable table = Table();
    for (long seed = 1; seed <= 40; ++seed) {
        Random rng(seed);
        const TexturePattern::Image image = TexturePattern::Compute(rng, table, 0.0);
        EXPECT_EQ(image.height, 4);
        EXPECT_EQ(image.width, 4);
        EXPECT_EQ(image.texels.size(), 4u * 4u * 3u);
        EXPECT_TRUE(IsMirrorSymmetric(image));
    }
}

TEST(TexturePatternTest, SidesArePowersOfTwoUpTo128AndGrowWithSpeed) {
    const ColourTable table = Table();
    std::set<int> seen;
    std::set<GLint> modes;
    std::set<GLenum> formats;
    for (long seed = 1; seed <= 300; ++seed) {
        Random rng(seed);
        const TexturePattern::Image image = TexturePattern::Compute(rng, table, 1.0);
        for (const int side : {image.height, image.width}) {
            EXPECT_TRUE(side >= 4 && side <= 128 && (side & (side - 1)) == 0) << side;
            seen.insert(side);
        }
        formats.insert(image.internalFormat);
        modes.insert(image.envMode);
        // Decal needs colour: a grey texture modulates or blends.
        if (image.internalFormat != GL_RGB) {
            EXPECT_NE(image.envMode, GL_DECAL);
        }
        Random half(seed);
        const TexturePattern::Image small = TexturePattern::Compute(half, table, 0.5);
        EXPECT_LE(std::max(small.height, small.width), 16); // trunc(6 * 0.5) = 3: 4, 8, 16
    }
    EXPECT_EQ(seen, (std::set<int>{4, 8, 16, 32, 64, 128}));
    EXPECT_EQ(formats, (std::set<GLenum>{GL_RGB, GL_LUMINANCE, GL_INTENSITY}));
    EXPECT_EQ(modes, (std::set<GLint>{GL_DECAL, GL_MODULATE, GL_BLEND}));
}

TEST(TexturePatternTest, OneChannelTexelsAreTableColours) {
    const ColourTable table = Table();
    std::set<std::array<float, 3>> colours;
    for (const Color& c : table.Colors())
        colours.insert({c.r, c.g, c.b});
    for (long seed = 1; seed <= 30; ++seed) {
        Random rng(seed);
        const TexturePattern::Image image = TexturePattern::Compute(rng, table, 0.7);
        if (image.channels != 1)
            continue; // a vector pattern colours its texels itself
        for (int i = 0; i < image.height; ++i)
            for (int j = 0; j < image.width; ++j)
                ASSERT_TRUE(colours.count(Texel(image, i, j)) == 1) << seed;
    }
}

// A tall, narrow texture (8 rows of 32) reaches GL as an image 32 wide and 8 high, the same
// texels as computed, symmetric about both centre lines.
TEST(TexturePatternTest, EightByThirtyTwoIsMirrorSymmetricInGL) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    const ColourTable table = Table();
    const long seed = SeedWithSides(table, 8, 32, GL_RGB);
    ASSERT_NE(seed, 0);
    Random computed(seed);
    const TexturePattern::Image image = TexturePattern::Compute(computed, table, 1.0);
    ASSERT_EQ(image.height, 8);
    ASSERT_EQ(image.width, 32);
    EXPECT_TRUE(IsMirrorSymmetric(image));

    Random rng(seed);
    const TexturePattern texture(rng, table, 1.0);
    EXPECT_EQ(rng.next(), computed.next()); // the same draws, no more
    ASSERT_NE(texture.List(), 0u);
    glDisable(GL_TEXTURE_2D);
    texture.Apply();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint width = 0;
    GLint height = 0;
    GLint mode = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(width, 32);
    EXPECT_EQ(height, 8);
    EXPECT_EQ(mode, image.envMode);
    std::vector<float> back(image.texels.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, back.data());
    for (std::size_t k = 0; k < back.size(); ++k)
        ASSERT_NEAR(back[k], image.texels[k], 1.0 / 255.0) << k;
    glDisable(GL_TEXTURE_2D);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(TexturePatternTest, ListAndCountGoWithTheTexture) {
    TestApp app;
    ASSERT_TRUE(app.HasGL());
    const ColourTable table = Table();
    const int before = Texture::LiveCount();
    GLuint list = 0;
    GLuint object = 0;
    {
        Random rng(3);
        const TexturePattern texture(rng, table, 0.3);
        list = texture.List();
        object = texture.Object();
        EXPECT_TRUE(glIsList(list));
        EXPECT_TRUE(glIsTexture(object));
        EXPECT_EQ(Texture::LiveCount(), before + 1);
        // The list binds the object, which holds the image; it sends no image itself.
        glBindTexture(GL_TEXTURE_2D, 0);
        texture.Apply();
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), object);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
    }
    EXPECT_FALSE(glIsList(list));
    EXPECT_FALSE(glIsTexture(object));
    EXPECT_EQ(Texture::LiveCount(), before);
}

} // namespace
