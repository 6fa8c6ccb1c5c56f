#include "shapes/Shape.h"

#include "app/SaverApp.h"
#include "core/Color.h"
#include "core/RegSettings.h"
#include "motion/ColorChanger.h"
#include "motion/Mover.h"
#include "motion/Rotater.h"
#include "motion/RotaterRandom.h"
#include "scene/Saver.h"
#include "scene/SceneWnd.h"
#include "shapes/ShapeBox.h"
#include "shapes/ShapeCone.h"
#include "shapes/ShapeCube.h"
#include "shapes/ShapeCylinder.h"
#include "shapes/ShapeDodecahedron.h"
#include "shapes/ShapeDot.h"
#include "shapes/ShapeIcosahedron.h"
#include "shapes/ShapeOctahedron.h"
#include "shapes/ShapeSphere.h"
#include "shapes/ShapeTetrahedron.h"
#include "shapes/ShapeTorus.h"

#include <GL/gl.h>

#include <cmath>

Shape::Shape(Random& rng, bool animated, bool randomRotater) : m_pRand(&rng) {
    if (!animated)
        return;
    m_pMover = Mover::Create(rng);
    if (randomRotater) {
        m_pRotater = std::make_unique<RotaterRandom>(rng);
    } else {
        // A path that turns back abruptly would flip a shape facing its travel.
        std::vector<int> excluded;
        if (m_pMover->ReversesDirection())
            excluded.push_back(Rotater::kDirectionKind);
        m_pRotater = Rotater::Create(rng, &excluded);
    }
    m_pColorChanger = ColorChanger::Create(rng);
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

void Shape::DrawAtOrigin() {
    glPushMatrix();
    DrawShape();
    glPopMatrix();
}

void Shape::Draw(Saver& scene) {
    glPushMatrix();
    glTranslatef(m_X, m_Y, m_Z);
    if (m_pRotater)
        m_pRotater->Apply(m_X, m_Y, m_Z, m_StartX, m_StartY, m_StartZ);
    if (scene.ScaleAnimated())
        glScalef(scene.ScaleX(), scene.ScaleY(), scene.ScaleZ());
    if (UsesShapeColor()) {
        const int index = m_pColorChanger->ColorIndex(scene, m_X, m_Y, m_Z) + m_ColorOffset;
        const Color colour = scene.Wnd()->Colours().ShapeColor(index, m_Alpha);
        glColor4fv(colour.Data());
    }
    // An invisible shape still steps, so it can come back later.
    if (m_pMover->IsVisible())
        DrawShape();
    m_pMover->Step(m_X, m_Y, m_Z, scene);
    glPopMatrix();
}

void Shape::Setup(Saver& scene, int colourStep, int spread) {
    m_pMover->StartPosition(m_StartX, m_StartY, m_StartZ);
    m_X = m_StartX;
    m_Y = m_StartY;
    m_Z = m_StartZ;
    m_pMover->Setup(*this, scene, colourStep, spread);
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

void Shape::FrameUpdate(Saver& scene) {
    if (m_pMover)
        m_pMover->FrameUpdate(scene);
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

std::unique_ptr<Shape> Shape::Create(Random& rng, const std::vector<int>* excluded) {
    const int kind = gApp.pSettings()->ShapeKinds().choose(rng, excluded, 10);
    return CreateKind(kind, rng);
}

std::unique_ptr<Shape> Shape::CreateKind(int kind, Random& rng) {
    switch (kind) {
    case 1:
        return std::make_unique<ShapeSphere>(rng);
    case 2:
        return std::make_unique<ShapeTorus>(rng);
    case 3:
        return std::make_unique<ShapeCone>(rng);
    case 4:
        return std::make_unique<ShapeBox>(rng);
    case 5:
        return std::make_unique<ShapeTetrahedron>(rng);
    case 6:
        return std::make_unique<ShapeCylinder>(rng);
    case 7:
        return std::make_unique<ShapeIcosahedron>(rng);
    case 8:
        return std::make_unique<ShapeOctahedron>(rng);
    case 9:
        return std::make_unique<ShapeDodecahedron>(rng);
    case 11:
        return std::make_unique<ShapeDot>(rng);
    case 14:
        return std::make_unique<ShapeWireCube>(rng);
    case 15:
        return std::make_unique<ShapeWireTetrahedron>(rng);
    case 16:
        return std::make_unique<ShapeWireSphere>(rng);
    case 17:
        return std::make_unique<ShapeWireCylinder>(rng);
    case 18:
        return std::make_unique<ShapeWireCone>(rng);
    default:
        // Kind 0, and every kind without a class of its own (10 mesh shapes and 12
        // photograph cubes until they exist, 13 and anything outside the table).
        return std::make_unique<ShapeCube>(rng);
    }
}
