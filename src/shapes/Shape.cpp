#include "shapes/Shape.h"

#include "colour/ColourTable.h"
#include "core/Color.h"
#include "core/RegSettings.h"
#include "core/WeightedChoice.h"
#include "motion/ColorChanger.h"
#include "motion/Mover.h"
#include "motion/Rotater.h"
#include "motion/RotaterRandom.h"
#include "shapes/ShapeBox.h"
#include "shapes/ShapeCone.h"
#include "shapes/ShapeCube.h"
#include "shapes/ShapeCylinder.h"
#include "shapes/ShapeDodecahedron.h"
#include "shapes/ShapeDot.h"
#include "shapes/ShapeIcosahedron.h"
#include "shapes/ShapeOctahedron.h"
#include "shapes/ShapePhotoCube.h"
#include "shapes/ShapePoly.h"
#include "shapes/ShapeSphere.h"
#include "shapes/ShapeTetrahedron.h"
#include "shapes/ShapeTorus.h"

#include <GL/gl.h>

#include <cmath>
#include <iterator>
#include <type_traits>
#include <typeinfo>

Shape::Shape(Random& rng, const MotionContext& motion, bool animated, bool randomRotater)
    : m_pRand(&rng) {
    if (!animated)
        return;
    m_pMover = Mover::Create(rng, motion);
    if (randomRotater) {
        m_pRotater = std::make_unique<RotaterRandom>(rng, motion);
    } else {
        // A path that turns back abruptly would flip a shape facing its travel.
        std::vector<int> excluded;
        if (m_pMover->ReversesDirection())
            excluded.push_back(Rotater::kDirectionKind);
        m_pRotater = Rotater::Create(rng, motion, &excluded);
    }
    m_pColorChanger = ColorChanger::Create(rng, motion);
}

Shape::Shape(const Shape& source)
    : m_pRotater(source.m_pRotater ? source.m_pRotater->Clone() : nullptr),
      m_pMover(source.m_pMover ? source.m_pMover->Clone() : nullptr),
      m_pColorChanger(source.m_pColorChanger ? source.m_pColorChanger->Clone() : nullptr),
      m_pRand(source.m_pRand) {}

Shape::~Shape() = default;

void Shape::SetMover(std::unique_ptr<Mover> mover) {
    m_pMover = std::move(mover);
}

void Shape::SetRotater(std::unique_ptr<Rotater> rotater) {
    m_pRotater = std::move(rotater);
}

void Shape::SetColorChanger(std::unique_ptr<ColorChanger> changer) {
    m_pColorChanger = std::move(changer);
}

void Shape::DrawAtOrigin(Primitives& solids) {
    glPushMatrix();
    DrawShape(solids);
    glPopMatrix();
}

void Shape::Draw(const FrameContext& frame) {
    glPushMatrix();
    glTranslatef(m_X, m_Y, m_Z);
    if (m_pRotater)
        m_pRotater->Apply(m_X, m_Y, m_Z, m_StartX, m_StartY, m_StartZ);
    if (frame.scale.animated)
        glScalef(frame.scale.x, frame.scale.y, frame.scale.z);
    if (UsesShapeColor() && frame.colours != nullptr) {
        const int index = m_pColorChanger->ColorIndex(frame, m_X, m_Y, m_Z) + m_ColorOffset;
        const Color colour = frame.colours->ShapeColor(index, m_Alpha);
        glColor4fv(colour.Data());
    }
    // An invisible shape still steps, so it can come back later.
    // A scene without a GL context draws nothing.
    Primitives* solids = frame.solids;
    if (m_pMover->IsVisible() && solids != nullptr)
        DrawShape(*solids);
    m_pMover->Step(m_X, m_Y, m_Z, frame);
    glPopMatrix();
}

void Shape::Setup(const FrameContext& frame, int colourStep, int spread) {
    m_pMover->StartPosition(m_StartX, m_StartY, m_StartZ);
    m_X = m_StartX;
    m_Y = m_StartY;
    m_Z = m_StartZ;
    m_pMover->Setup(*this, frame, colourStep, spread);
}

void Shape::SetColor(int colourOffset, float alpha) {
    m_ColorOffset = colourOffset;
    m_Alpha = alpha;
}

int Shape::GroupCount(int budget) const {
    return m_pMover ? m_pMover->PolygonReserve(budget) : 0;
}

float Shape::DistanceTo(const Shape& other) const {
    const float dx = m_X - other.m_X;
    const float dy = m_Y - other.m_Y;
    const float dz = m_Z - other.m_Z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void Shape::ScaleSpin(float factor) {
    if (m_pRotater)
        m_pRotater->ScaleSpin(factor);
}

void Shape::FrameUpdate(const FrameContext& frame) {
    if (m_pMover)
        m_pMover->FrameUpdate(frame);
}

void Shape::AddVelocity(float dx, float dy, float dz) {
    if (m_pMover)
        m_pMover->AddVelocity(dx, dy, dz);
}

void Shape::StopVelocity() {
    if (m_pMover)
        m_pMover->StopVelocity();
}

void Shape::OnCollision() {
    if (m_pMover)
        m_pMover->OnCollision();
}

bool Shape::IsActive() const {
    return m_pMover ? m_pMover->IsActive() : true;
}

void Shape::SetPosition(float x, float y, float z) {
    m_X = x;
    m_Y = y;
    m_Z = z;
}

namespace {

// Where a kind's weight comes from: the number as written; the number times the machine's
// performance (the costly kinds); or the photograph probability times the performance,
// 0 without photograph folders.
enum class Weight { Fixed, Performance, Photos };

using MakeShape = std::unique_ptr<Shape> (*)(Random&, const ShapeContext&);

template <class T> std::unique_ptr<Shape> Make(Random& rng, const ShapeContext& context) {
    if constexpr (std::is_constructible_v<T, Random&, const ShapeContext&>)
        return std::make_unique<T>(rng, context);
    else
        return std::make_unique<T>(rng, context.motion);
}

template <class T> bool Is(const Shape& shape) {
    return typeid(shape) == typeid(T);
}

struct ShapeKind {
    int kind;
    const char* name;
    Weight source;
    float weight;
    MakeShape make; // null: no class yet, never offered (the weight is kept for when it is)
    bool (*is)(const Shape&);
};

// Every kind the factory knows, in kind order: the row's index is its kind. To add a kind,
// fill its constructor in (its weight is then offered and the replay hash changes).
constexpr ShapeKind kShapeKinds[] = {
    {0, "cube", Weight::Fixed, 100, Make<ShapeCube>, Is<ShapeCube>},
    {1, "sphere", Weight::Performance, 80, Make<ShapeSphere>, Is<ShapeSphere>},
    {2, "torus", Weight::Performance, 20, Make<ShapeTorus>, Is<ShapeTorus>},
    {3, "cone", Weight::Performance, 80, Make<ShapeCone>, Is<ShapeCone>},
    {4, "box", Weight::Fixed, 100, Make<ShapeBox>, Is<ShapeBox>},
    {5, "tetrahedron", Weight::Fixed, 100, Make<ShapeTetrahedron>, Is<ShapeTetrahedron>},
    {6, "cylinder", Weight::Performance, 100, Make<ShapeCylinder>, Is<ShapeCylinder>},
    {7, "icosahedron", Weight::Fixed, 100, Make<ShapeIcosahedron>, Is<ShapeIcosahedron>},
    {8, "octahedron", Weight::Fixed, 100, Make<ShapeOctahedron>, Is<ShapeOctahedron>},
    {9, "dodecahedron", Weight::Fixed, 100, Make<ShapeDodecahedron>, Is<ShapeDodecahedron>},
    {10, "mesh", Weight::Performance, 1000, Make<ShapePoly>, Is<ShapePoly>},
    {11, "dot", Weight::Fixed, 50, Make<ShapeDot>, Is<ShapeDot>},
    {12, "photograph cube", Weight::Photos, 0, Make<ShapePhotoCube>, Is<ShapePhotoCube>},
    {13, "unused", Weight::Fixed, 0, nullptr, nullptr},
    {14, "wire cube", Weight::Fixed, 70, Make<ShapeWireCube>, Is<ShapeWireCube>},
    {15, "wire tetrahedron", Weight::Fixed, 20, Make<ShapeWireTetrahedron>,
     Is<ShapeWireTetrahedron>},
    {16, "wire sphere", Weight::Performance, 60, Make<ShapeWireSphere>, Is<ShapeWireSphere>},
    {17, "wire cylinder", Weight::Fixed, 100, Make<ShapeWireCylinder>, Is<ShapeWireCylinder>},
    {18, "wire cone", Weight::Fixed, 40, Make<ShapeWireCone>, Is<ShapeWireCone>},
};
static_assert(std::size(kShapeKinds) == Shape::KindCount);

constexpr bool KindsInOrder() {
    for (int i = 0; i < Shape::KindCount; ++i)
        if (kShapeKinds[i].kind != i)
            return false;
    return true;
}
static_assert(KindsInOrder(), "a row's index must be its kind");

// Not a constant: a sanitized build cannot compare two functions' addresses at compile time.
int KindBuilding(MakeShape make) {
    for (const ShapeKind& row : kShapeKinds)
        if (row.make == make)
            return row.kind;
    return -1;
}

} // namespace

FloatArray Shape::KindWeights(const RegSettings& settings) {
    const double p = settings.Performance();
    const auto scaled = [p](double weight) { return static_cast<float>(weight * p); };
    FloatArray weights;
    weights.reserve(KindCount);
    for (const ShapeKind& row : kShapeKinds) {
        float weight = row.weight;
        if (row.source == Weight::Performance)
            weight = scaled(row.weight);
        else if (row.source == Weight::Photos)
            weight = settings.Folders().empty() ? 0.0f : scaled(settings.ImageProb());
        weights.push_back(row.make ? weight : 0.0f);
    }
    return weights;
}

std::unique_ptr<Shape> Shape::Create(Random& rng, const ShapeContext& context,
                                     const std::vector<int>* excluded) {
    const int kind = context.kinds ? context.kinds->choose(rng, excluded, 10) : 0;
    return CreateKind(kind, rng, context);
}

std::unique_ptr<Shape> Shape::CreateKind(int kind, Random& rng, const ShapeContext& context) {
    // Kinds without a class of their own, and anything outside the table, build a cube.
    MakeShape make = Make<ShapeCube>;
    if (kind >= 0 && kind < KindCount && kShapeKinds[kind].make)
        make = kShapeKinds[kind].make;
    return make(rng, context);
}

int Shape::PhotoCubeKind() {
    static const int kind = KindBuilding(Make<ShapePhotoCube>);
    return kind;
}

int Shape::KindOf(const Shape& shape) {
    for (const ShapeKind& row : kShapeKinds)
        if (row.is && row.is(shape))
            return row.kind;
    return -1;
}
