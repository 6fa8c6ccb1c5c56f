#include "shapes/ShapePhotoCube.h"
#include "shapes/Primitives.h"

#include "colour/ColourTable.h"
#include "core/Random.h"
#include "gl/GLCensus.h"
#include "images/TestImages.h"
#include "meshes/PolyBead.h"
#include "meshes/PolyCube.h"
#include "meshes/PolySphere.h"
#include "support/TestApp.h"
#include "textures/TextureImage.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <optional>
#include <typeinfo>

namespace {

class ShapePhotoCubeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_App.HasGL());
        m_Table.BuildColourTableFromSeed(256, 2);
        m_Path = m_Dir.Put("p.jpg", testimages::Jpeg(32, 24, 3, [](int x, int y) {
                               return testimages::Rgb{static_cast<std::uint8_t>(x * 8),
                                                      static_cast<std::uint8_t>(y * 10), 50};
                           }));
    }
    ShapePhotoCube::Scene Scene(const std::string& path) const {
        return {MeshContext{m_Table, nullptr, false}, path, 800, MotionContext{}};
    }
    // The first seed whose photo cube is built on a mesh of type T. The shape keeps drawing
    // from the generator (clones do), so it lives in the fixture.
    template <class T> std::unique_ptr<ShapePhotoCube> BuildOn() {
        for (long seed = 1; seed < 200; ++seed) {
            Random& rng = m_Rand.emplace(seed);
            auto shape = std::make_unique<ShapePhotoCube>(rng, Scene(m_Path));
            if (shape->Mesh() && typeid(*shape->Mesh()) == typeid(T))
                return shape;
        }
        return nullptr;
    }

    TestApp m_App;
    std::optional<Random> m_Rand;
    ColourTable m_Table;
    testimages::TempDir m_Dir;
    std::string m_Path;
};

TEST_F(ShapePhotoCubeTest, CubeReportsItsFloorAndSharesItsPictureWithClones) {
    const int photos = TextureImage::LiveCount();
    const int copies = TextureImage::LiveCopies();
    const int objects = GLCensus::LiveTextureObjects();
    const std::unique_ptr<ShapePhotoCube> cube = BuildOn<PolyCube>();
    ASSERT_TRUE(cube);
    // The decoded copy is gone once the list is compiled; the picture lives on in the
    // master's texture object, which the list binds below.
    EXPECT_EQ(TextureImage::LiveCount(), photos + 1);
    EXPECT_EQ(TextureImage::LiveCopies(), copies);
    EXPECT_EQ(GLCensus::LiveTextureObjects(), objects + 1);
    EXPECT_EQ(cube->Facets().size(), 6u); // one cell a face without random options
    EXPECT_EQ(cube->PolygonCount(), 1250);
    EXPECT_TRUE(cube->HasTexture());
    EXPECT_FALSE(cube->UsesShapeColor()); // a cube always tints with vertex colours
    EXPECT_GE(cube->Radius(), 0.5f);
    EXPECT_LT(cube->Radius(), 1.5f);
    const std::unique_ptr<Shape> clone = cube->Clone();
    EXPECT_EQ(typeid(*clone), typeid(ShapePhotoCube));
    EXPECT_EQ(clone->PolygonCount(), 1250);
    const auto& copy = static_cast<const ShapePhotoCube&>(*clone);
    EXPECT_EQ(copy.ListId(), cube->ListId());
    EXPECT_FALSE(copy.HasTexture());

    // Replaying a clone's list binds the picture.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    ASSERT_EQ(width, 0);
    Primitives solids;
    clone->DrawShape(solids);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_GT(width, 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShapePhotoCubeTest, SphereReportsItsFacets) {
    const std::unique_ptr<ShapePhotoCube> sphere = BuildOn<PolySphere>();
    ASSERT_TRUE(sphere);
    EXPECT_EQ(sphere->PolygonCount(), 2048); // 32 rows x 64 columns
}

TEST_F(ShapePhotoCubeTest, NeverOnBeadsAndUntexturedWithoutAPicture) {
    const int photos = TextureImage::LiveCount();
    for (long seed = 1; seed <= 12; ++seed) {
        Random rng(seed);
        const ShapePhotoCube shape(rng, Scene(""));
        EXPECT_FALSE(shape.HasTexture());
        ASSERT_NE(shape.Mesh(), nullptr);
        EXPECT_NE(typeid(*shape.Mesh()), typeid(PolyBead));
        EXPECT_NE(typeid(*shape.Mesh()), typeid(PolyRoundedBead));
        EXPECT_GT(shape.Facets().size(), 0u);
        EXPECT_GE(shape.PolygonCount(), 1250);
    }
    EXPECT_EQ(TextureImage::LiveCount(), photos);
}

TEST_F(ShapePhotoCubeTest, WithoutASceneTableColoursComeFromTheFixedTable) {
    ColourTable fixed;
    fixed.BuildColourTableFromSeed(256, 1);
    const auto inFixed = [&fixed](const Color& c) {
        for (const Color& entry : fixed.Colors())
            if (entry.r == c.r && entry.g == c.g && entry.b == c.b)
                return true;
        return false;
    };
    int lit = 0;
    for (long seed = 1; seed <= 6; ++seed) {
        Random rng(seed);
        ShapePhotoCube shape(rng, ShapeContext{}); // no table, no pictures
        for (const PolyFacet& facet : shape.Facets())
            for (int k = 0; k < facet.Size(); ++k) {
                const Color& c = facet[k].colour;
                if (c.r + c.g + c.b == 0.0f)
                    continue;
                ASSERT_TRUE(inFixed(c)) << "seed " << seed;
                ++lit;
            }
        Primitives solids;
        shape.DrawShape(solids);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    EXPECT_GT(lit, 0); // an empty table would leave every vertex black
}

} // namespace
