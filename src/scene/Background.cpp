#include "scene/Background.h"

#include "colour/ColourTable.h"
#include "core/DrawGate.h"
#include "core/IntGrid.h"
#include "core/Random.h"
#include "core/StopRequest.h"
#include "core/Trace.h"
#include "patterns/PatternCalculator.h"
#include "textures/TextureImage.h"
#include "textures/TexturePattern.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <ctime>

namespace {

// One wall: the axis it stands on and where, its inward normal, which axes the cell's
// first and second free coordinates run along, whether the first free coordinate follows
// j (B) rather than i (A), and the texture coordinates of vertices 1 to 4.
struct Wall {
    int fixedAxis;
    float fixedValue;
    float normal[3];
    int firstAxis;
    int secondAxis;
    bool swapped;
    float tex[4][2];
};

constexpr float kH = Background::HalfSide;
constexpr double kWidestLine = 10.0;

const Wall kWalls[Background::Walls] = {
    {0, -kH, {1, 0, 0}, 1, 2, false, {{1, 0}, {0, 0}, {0, 1}, {1, 1}}},
    {0, kH, {-1, 0, 0}, 1, 2, true, {{0, 0}, {0, 1}, {1, 1}, {1, 0}}},
    {1, kH, {0, -1, 0}, 0, 2, false, {{0, 0}, {0, 1}, {1, 1}, {1, 0}}},
    {1, -kH, {0, 1, 0}, 0, 2, true, {{0, 1}, {1, 1}, {1, 0}, {0, 0}}},
    {2, kH, {0, 0, -1}, 0, 1, true, {{1, 0}, {0, 0}, {0, 1}, {1, 1}}},
    {2, -kH, {0, 0, 1}, 0, 1, false, {{0, 0}, {0, 1}, {1, 1}, {1, 0}}},
};

// Steps of vertices 1 to 4 along (i, j): (A, B), (A, B'), (A', B'), (A', B).
constexpr int kStepI[4] = {0, 0, 1, 1};
constexpr int kStepJ[4] = {0, 1, 1, 0};

int ColourIndex(const IntGrid& grid, int row, int column) {
    if (grid.Empty())
        return 0;
    return grid(row % grid.Rows(), column % grid.Columns());
}

// Without a scene window the room is black (an empty table gives black everywhere).
const ColourTable& Colours(const Background::Room& room) {
    static const ColourTable none;
    return room.colours ? *room.colours : none;
}

} // namespace

Background::Background(Random& rng, SceneKind kind, std::unique_ptr<TextureImage> photo)
    : m_pRand(&rng), m_Kind(kind), m_pPhoto(std::move(photo)) {
    m_TiltX = static_cast<float>(rng.below(45));
    m_TiltY = static_cast<float>(rng.below(45));
    m_TiltZ = static_cast<float>(rng.below(45));
    m_bSpeckle = rng.uniform() < 0.25;
}

Background::~Background() = default;

int Background::PolygonCount() const {
    int n = m_Polygons;
    if (m_bLines)
        n /= 2;
    if (m_Kind == SceneKind::Photo)
        n *= 64;
    return n;
}

int Background::CellsPerSide(Random& rng, double performance, SceneKind kind) {
    const int base = kind == SceneKind::Plain ? 32 : 8;
    return rng.skewed(static_cast<int>(performance * base), 3) + 1;
}

const float* Background::WallNormal(int wall) {
    return kWalls[wall].normal;
}

Background::Vertex Background::WallVertex(int wall, int i, int j, int k, float w) {
    const Wall& spec = kWalls[wall];
    Vertex v{};
    v.row = i + kStepI[k];
    v.column = j + kStepJ[k];
    const float a = -kH + static_cast<float>(v.row) * w;
    const float b = -kH + static_cast<float>(v.column) * w;
    v.position[spec.fixedAxis] = spec.fixedValue;
    v.position[spec.firstAxis] = spec.swapped ? b : a;
    v.position[spec.secondAxis] = spec.swapped ? a : b;
    v.tex[0] = spec.tex[k][0];
    v.tex[1] = spec.tex[k][1];
    return v;
}

void Background::Draw(const Room& scene) {
    GLfloat emission[4] = {0, 0, 0, 1};
    if (m_bEmissive) {
        glGetMaterialfv(GL_FRONT, GL_EMISSION, emission);
        static const GLfloat none[4] = {0, 0, 0, 1};
        glMaterialfv(GL_FRONT, GL_EMISSION, none);
    }
    glRotatef(m_TiltX, 1, 0, 0);
    glRotatef(m_TiltY, 0, 1, 0);
    glRotatef(m_TiltZ, 0, 0, 1);
    glPushMatrix();
    if (!m_bBuilt) {
        Room room = scene;
        room.developerMode = TraceLog::Enabled();
        room.photo = m_pPhoto.get();
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        Build(room);
        m_BuildMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
        m_BuildCpuMs = static_cast<long long>(std::clock() - cpuStart) * 1000 / CLOCKS_PER_SEC;
    }
    // The first frame shows the room too: the list is compiled only, then called.
    m_List.Call();
    glPopMatrix();
    if (m_bEmissive)
        glMaterialfv(GL_FRONT, GL_EMISSION, emission);
}

void Background::Build(const Room& room) {
    Random& rng = *m_pRand;
    m_bBuilt = true;
    // An ending run builds no room, and a room given up part-way keeps no list.
    if (StopRequest::Poll()) {
        m_bAbandoned = true;
        return;
    }
    const double p = room.performance;
    const int b = CellsPerSide(rng, p, m_Kind);
    if (m_Kind == SceneKind::Pattern)
        m_pTexture = std::make_unique<TexturePattern>(
            rng, Colours(room), std::min(p, 1.0), room.gate, room.developerMode, room.sceneSize);
    Texture* texture = nullptr;
    if (m_Kind == SceneKind::Photo)
        texture = room.photo;
    else if (m_Kind == SceneKind::Pattern)
        texture = m_pTexture.get();
    if (texture && !texture->Upload()) {
        m_bAbandoned = true;
        return;
    }
    m_List = DisplayList::Generate();
    if (m_List.IsValid())
        glNewList(m_List.Id(), GL_COMPILE);
    if (texture && !texture->Apply()) {
        if (m_List.IsValid())
            glEndList();
        m_List.Reset();
        m_bAbandoned = true;
        return;
    }

    const bool solid = m_Kind != SceneKind::Plain || rng.uniform() < std::min(p / 2.0, 1.0);
    m_bLines = !solid;
    if (m_bLines) {
        glEnable(GL_LINE_SMOOTH);
        GLfloat range[2] = {1, 1};
        glGetFloatv(GL_LINE_WIDTH_RANGE, range);
        // Software drivers offer up to 255 pixels, which turns the grid into bars; the
        // room was made for the 10 that common hardware offers.
        const double widest = std::min(static_cast<double>(range[1]), kWidestLine);
        const double u1 = rng.uniform();
        const double u2 = rng.uniform();
        glLineWidth(static_cast<GLfloat>(1.0 + u1 * u2 * widest * std::min(p, 1.0)));
    }

    IntGrid grid;
    {
        PatternContext context;
        context.colourCount = Colours(room).colourCount();
        context.bandCount = Colours(room).bandCount();
        context.developerMode = room.developerMode;
        context.gate = room.gate;
        context.sceneSize = room.sceneSize;
        std::unique_ptr<PatternCalculator> pattern =
            PatternCalculator::Create(rng, 1, true, context);
        const bool mirror = rng.flip() == 1;
        pattern->FillGrid(grid, b + 1, b + 1, mirror);
    }

    const bool textured = m_Kind != SceneKind::Plain;
    if (textured) {
        glEnable(GL_TEXTURE_2D);
        if (m_Kind == SceneKind::Photo)
            glShadeModel(GL_FLAT);
    }
    BuildWalls(room, b, grid);
    if (textured) {
        glDisable(GL_TEXTURE_2D);
        glShadeModel(GL_SMOOTH);
    }
    if (m_List.IsValid())
        glEndList();
}

void Background::BuildWalls(const Room& room, int b, const IntGrid& grid) {
    Random& rng = *m_pRand;
    const bool textured = m_Kind != SceneKind::Plain;
    const GLenum primitive = m_bLines ? GL_LINE_STRIP : GL_QUADS;
    const float w = 2.0f * HalfSide / static_cast<float>(b);
    const ColourTable& colours = Colours(room);
    for (int wall = 0; wall < Walls; ++wall) {
        for (int i = 0; i < b; ++i) {
            for (int j = 0; j < b; ++j) {
                glBegin(primitive);
                glNormal3fv(kWalls[wall].normal);
                for (int k = 0; k < 4; ++k) {
                    const Vertex v = WallVertex(wall, i, j, k, w);
                    Color c = colours.TableColor(ColourIndex(grid, v.row, v.column));
                    if (m_bSpeckle)
                        c.Scale(static_cast<float>(rng.uniform()));
                    glColor4fv(c.Data());
                    if (textured)
                        glTexCoord2fv(v.tex);
                    glVertex3fv(v.position);
                }
                glEnd();
                ++m_Polygons;
            }
        }
    }
}
