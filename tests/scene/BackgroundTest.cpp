#include "scene/Background.h"

#include "colour/ColourTable.h"
#include "core/MemoryProfileStore.h"
#include "core/Random.h"
#include "core/StopRequest.h"
#include "gl/GLCensus.h"
#include "images/TestImages.h"
#include "scene/SaverShapes.h"
#include "scene/SceneWnd.h"
#include "support/ShapeDoubles.h"
#include "support/TestApp.h"
#include "textures/TextureImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>

namespace {

TEST(BackgroundCellsTest, SlowMachinesGetOneCellPerWall) {
    for (long seed = 1; seed <= 50; ++seed) {
        Random rng(seed);
        // 0.03 x 32 and 0.12 x 8 are below 1.
        EXPECT_EQ(Background::CellsPerSide(rng, 0.03, SceneKind::Plain), 1);
        EXPECT_EQ(Background::CellsPerSide(rng, 0.12, SceneKind::Photo), 1);
        EXPECT_EQ(Background::CellsPerSide(rng, 0.12, SceneKind::Pattern), 1);
    }
    std::set<int> colour;
    std::set<int> textured;
    for (long seed = 1; seed <= 2000; ++seed) {
        Random rng(seed);
        colour.insert(Background::CellsPerSide(rng, 1.0, SceneKind::Plain));
        textured.insert(Background::CellsPerSide(rng, 1.0, SceneKind::Pattern));
    }
    EXPECT_EQ(*colour.begin(), 1);
    EXPECT_GE(*colour.rbegin(), 20);
    EXPECT_LE(*colour.rbegin(), 32);
    EXPECT_EQ(textured, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

using Point = std::array<float, 3>;

Point Sub(const float* a, const float* b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

float Dot(const Point& a, const float* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Point Cross(const Point& a, const Point& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Every wall lies on its face of the box with its normal pointing in, its cells tile it
// with the same winding as every other wall, each cell carries the whole texture once, and
// a corner shared by neighbouring cells takes one grid colour.
TEST(BackgroundWallsTest, WallsLineTheBoxAndShareCornerColours) {
    const int b = 3;
    const float w = 15.0f / b;
    std::set<int> windings;
    for (int wall = 0; wall < Background::Walls; ++wall) {
        const float* normal = Background::WallNormal(wall);
        std::map<Point, std::pair<int, int>> cornerCell;
        float area = 0.0f;
        for (int i = 0; i < b; ++i) {
            for (int j = 0; j < b; ++j) {
                Background::Vertex v[4];
                for (int k = 0; k < 4; ++k)
                    v[k] = Background::WallVertex(wall, i, j, k, w);
                std::set<std::pair<float, float>> tex;
                for (int k = 0; k < 4; ++k) {
                    const Point p{v[k].position[0], v[k].position[1], v[k].position[2]};
                    // On the wall: 7.5 against the normal, inside the box elsewhere.
                    EXPECT_FLOAT_EQ(Dot(p, normal), -7.5f) << wall;
                    for (const float c : p)
                        EXPECT_LE(std::fabs(c), 7.5f + 1e-5f);
                    const auto [at, fresh] =
                        cornerCell.try_emplace(p, std::pair{v[k].row, v[k].column});
                    if (!fresh) {
                        EXPECT_EQ(at->second, (std::pair{v[k].row, v[k].column})) << wall;
                    }
                    tex.insert({v[k].tex[0], v[k].tex[1]});
                }
                EXPECT_EQ(tex, (std::set<std::pair<float, float>>{
                                   {0.0f, 0.0f}, {0.0f, 1.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}}));
                // A parallelogram in space and in texture: the texture is not twisted.
                for (int c = 0; c < 3; ++c)
                    EXPECT_NEAR(v[0].position[c] + v[2].position[c],
                                v[1].position[c] + v[3].position[c], 1e-4);
                for (int c = 0; c < 2; ++c)
                    EXPECT_EQ(v[0].tex[c] + v[2].tex[c], v[1].tex[c] + v[3].tex[c]);
                const Point turn =
                    Cross(Sub(v[1].position, v[0].position), Sub(v[2].position, v[1].position));
                const float facing = Dot(turn, normal);
                windings.insert(facing > 0 ? 1 : -1);
                area += std::fabs(facing);
            }
        }
        EXPECT_NEAR(area, 15.0f * 15.0f, 1e-2) << wall;
        EXPECT_EQ(cornerCell.size(), static_cast<std::size_t>((b + 1) * (b + 1)));
    }
    EXPECT_EQ(windings.size(), 1u);
}

TEST(BackgroundWallsTest, FirstWallFollowsItsTable) {
    // x = -7.5; (y, z) = (A, B), (A, B'), (A', B'), (A', B); texture (1,0) (0,0) (0,1) (1,1).
    const float expected[4][5] = {{-7.5f, -7.5f, -7.5f, 1, 0},
                                  {-7.5f, -7.5f, 7.5f, 0, 0},
                                  {-7.5f, 7.5f, 7.5f, 0, 1},
                                  {-7.5f, 7.5f, -7.5f, 1, 1}};
    for (int k = 0; k < 4; ++k) {
        const Background::Vertex v = Background::WallVertex(0, 0, 0, k, 15.0f);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(v.position[c], expected[k][c]) << k;
        EXPECT_EQ(v.tex[0], expected[k][3]);
        EXPECT_EQ(v.tex[1], expected[k][4]);
    }
    // The floor (y = -7.5) runs (x, z) = (B, A) ...: its second vertex is one cell along x.
    const Background::Vertex floor = Background::WallVertex(3, 0, 0, 1, 5.0f);
    EXPECT_EQ(floor.position[0], -2.5f);
    EXPECT_EQ(floor.position[1], -7.5f);
    EXPECT_EQ(floor.position[2], -7.5f);
    EXPECT_EQ(floor.tex[0], 1.0f);
    EXPECT_EQ(floor.tex[1], 1.0f);
}

// The room a scene of wnd hands its background.
Background::Room RoomOf(CSceneWnd& wnd) {
    Background::Room room;
    room.colours = &wnd.Colours();
    room.gate = &wnd;
    room.sceneSize = std::max(wnd.Width(), wnd.Height());
    return room;
}

class BackgroundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_App.HasGL());
        m_Table.BuildColourTableFromSeed(256, 5);
    }
    Background::Room RoomAt(double performance) const {
        Background::Room room;
        room.performance = performance;
        room.colours = &m_Table;
        return room;
    }

    TestApp m_App;
    ColourTable m_Table;
};

TEST_F(BackgroundTest, WireRoomReportsHalfItsCells) {
    int wire = 0;
    for (long seed = 1; seed <= 20; ++seed) {
        Random rng(seed);
        Background room(rng, SceneKind::Plain);
        EXPECT_EQ(room.PolygonCount(), 0); // nothing compiled yet
        room.Build(RoomAt(0.03));
        EXPECT_EQ(room.Cells(), 6);
        EXPECT_TRUE(room.List().IsValid());
        EXPECT_EQ(room.PolygonCount(), room.Lines() ? 3 : 6);
        wire += room.Lines() ? 1 : 0;
    }
    EXPECT_GE(wire, 15); // solid only when a uniform falls below 0.015
    Random rng(4);
    Background fast(rng, SceneKind::Plain);
    fast.Build(RoomAt(2.0)); // p / 2 >= 1: always solid
    EXPECT_FALSE(fast.Lines());
    EXPECT_EQ(fast.PolygonCount(), fast.Cells());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(BackgroundTest, PhotographRoomReportsSixtyFourTimesItsCells) {
    const testimages::TempDir dir;
    const std::string path =
        dir.Put("a.jpg", testimages::Jpeg(16, 16, 3, [](int x, int y) {
                    return testimages::Rgb{static_cast<std::uint8_t>(x * 9),
                                           static_cast<std::uint8_t>(y * 9), 90};
                }));
    Random rng(2);
    TextureImage photo(rng, path, 800);
    ASSERT_TRUE(photo.IsValid());
    Background slow(rng, SceneKind::Photo);
    Background::Room room = RoomAt(0.1);
    room.photo = &photo;
    slow.Build(room);
    EXPECT_FALSE(slow.Lines());
    EXPECT_EQ(slow.Cells(), 6);
    EXPECT_EQ(slow.PolygonCount(), 6 * 64);
    Background fast(rng, SceneKind::Photo);
    room.performance = 1.0;
    fast.Build(room);
    const int b = static_cast<int>(std::lround(std::sqrt(fast.Cells() / 6)));
    EXPECT_EQ(fast.Cells(), 6 * b * b);
    EXPECT_EQ(fast.PolygonCount(), fast.Cells() * 64);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// What a photograph does when a stop comes while its levels are made.
class GivenUpTexture : public Texture {
public:
    using Texture::Texture;
    bool Apply() const override { return false; }
};

// A room whose texture is given up, or whose building a stop forestalls, keeps no list: no
// half-compiled room is ever drawn, nor left open for the next list.
TEST_F(BackgroundTest, StopLeavesNoHalfBuiltRoom) {
    const int lists = GLCensus::LiveLists();
    Random rng(2);
    GivenUpTexture photo(rng);
    Background room(rng, SceneKind::Photo);
    Background::Room parts = RoomAt(1.0);
    parts.photo = &photo;
    room.Build(parts);
    EXPECT_TRUE(room.IsAbandoned());
    EXPECT_FALSE(room.List().IsValid());
    EXPECT_EQ(room.PolygonCount(), 0);
    EXPECT_EQ(GLCensus::LiveLists(), lists);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    Background late(rng, SceneKind::Plain);
    StopRequest::Raise();
    late.Build(RoomAt(1.0));
    StopRequest::Clear();
    EXPECT_TRUE(late.IsAbandoned());
    EXPECT_FALSE(late.List().IsValid());
    EXPECT_EQ(GLCensus::LiveLists(), lists);

    Background whole(rng, SceneKind::Plain);
    whole.Build(RoomAt(1.0));
    EXPECT_FALSE(whole.IsAbandoned());
    EXPECT_TRUE(whole.List().IsValid());
}

TEST_F(BackgroundTest, PatternRoomOwnsItsTexture) {
    const int textures = Texture::LiveCount();
    const int lists = GLCensus::LiveLists();
    {
        Random rng(9);
        Background room(rng, SceneKind::Pattern);
        room.Build(RoomAt(1.0));
        EXPECT_FALSE(room.Lines());
        EXPECT_EQ(room.PolygonCount(), room.Cells());
        EXPECT_EQ(Texture::LiveCount(), textures + 1);
        EXPECT_EQ(GLCensus::LiveLists(), lists + 2); // the room's and the texture's
    }
    EXPECT_EQ(Texture::LiveCount(), textures);
    EXPECT_EQ(GLCensus::LiveLists(), lists);
}

// Multiplies the column-major 4 x 4 matrix m by a rotation of deg degrees about axis.
std::array<float, 16> Rotated(const std::array<float, 16>& m, float deg, int axis) {
    const double r = deg * 3.14159265358979323846 / 180.0;
    const float c = static_cast<float>(std::cos(r));
    const float s = static_cast<float>(std::sin(r));
    const int a = (axis + 1) % 3;
    const int b = (axis + 2) % 3;
    std::array<float, 16> out = m;
    for (int row = 0; row < 4; ++row) {
        out[a * 4 + row] = m[a * 4 + row] * c + m[b * 4 + row] * s;
        out[b * 4 + row] = -m[a * 4 + row] * s + m[b * 4 + row] * c;
    }
    return out;
}

TEST_F(BackgroundTest, TiltStaysOnTheMatrixForTheShapes) {
    const Background::Room scene = RoomOf(m_App.Wnd());
    Random rng(11);
    Background room(rng, SceneKind::Plain);
    EXPECT_TRUE(room.TiltX() >= 0 && room.TiltX() <= 44 &&
                room.TiltX() == std::floor(room.TiltX()));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    std::array<float, 16> expected{};
    glGetFloatv(GL_MODELVIEW_MATRIX, expected.data());
    expected = Rotated(expected, room.TiltX(), 0);
    expected = Rotated(expected, room.TiltY(), 1);
    expected = Rotated(expected, room.TiltZ(), 2);
    for (int frame = 0; frame < 2; ++frame) { // the building draw and a replay
        glPushMatrix();
        room.Draw(scene);
        std::array<float, 16> after{};
        glGetFloatv(GL_MODELVIEW_MATRIX, after.data());
        glPopMatrix();
        for (int k = 0; k < 16; ++k)
            EXPECT_NEAR(after[k], expected[k], 1e-5) << k;
    }
    EXPECT_TRUE(room.IsBuilt());
}

TEST_F(BackgroundTest, WallsDoNotGlow) {
    const Background::Room scene = RoomOf(m_App.Wnd());
    const GLfloat glow[4] = {0.5f, 0.25f, 0.125f, 1.0f};
    glMaterialfv(GL_FRONT, GL_EMISSION, glow);
    Random rng(1);
    Background room(rng, SceneKind::Plain);
    room.SetEmissive(true);
    room.Draw(scene);
    GLfloat after[4] = {0, 0, 0, 0};
    glGetMaterialfv(GL_FRONT, GL_EMISSION, after);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(after[k], glow[k]);
    const GLfloat none[4] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT, GL_EMISSION, none);
}

} // namespace
