#pragma once

#include "core/FloatArray.h"
#include "motion/FrameContext.h"
#include "motion/MotionContext.h"
#include "shapes/SceneKind.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class ColorChanger;
class ColourTable;
class DrawGate;
class Mover;
class Primitives;
class Random;
class RegSettings;
class Rotater;
class WeightedChoice;

// What the shape factory reads from the run: the shape-kind choice of this run (weights
// from Shape::KindWeights) and the settings (the machine's performance, which scales the
// meshes). Either may be null where a caller builds a kind directly.
struct ShapeContext {
    const WeightedChoice* kinds = nullptr;
    const RegSettings* settings = nullptr;
    // The scene colour table that mesh colours and textures read (must outlive the shape).
    const ColourTable* colours = nullptr;
    // Long generation gives up when it says stop; null never does.
    DrawGate* gate = nullptr;
    // The kind of the scene being composed.
    SceneKind sceneKind = SceneKind::Plain;
    // The next picture for a photograph shape ("" when there is none); empty: no pictures.
    std::function<std::string()> nextImagePath;
    // The scene window's width: a larger JPEG decodes scaled down.
    int sceneWidth = 800;
    // The larger of the scene window's width and height: patterns scale by it.
    int sceneSize = 800;
    // What the movers, rotaters and colour changers of the composing scene read.
    MotionContext motion;
};

// The base of every drawable 3D object of the shapes scene. It owns the three behaviours
// that animate it (mover: where; rotater: how it is turned; colour changer: which table
// colour it wears) and fixes the order of a frame: translate, turn, scale, colour, draw,
// then let the mover step. Subclasses add only their sizes and geometry.
class Shape {
public:
    virtual ~Shape();
    Shape& operator=(const Shape&) = delete;

    // A new shape of the same class and sizes with clones of this shape's behaviours.
    virtual std::unique_ptr<Shape> Clone() const = 0;
    // The geometry around the origin at the shape's own size; primitive solids draw through
    // the lists of the current context.
    virtual void DrawShape(Primitives& solids) = 0;
    virtual void DrawAtOrigin(Primitives& solids);
    // The per-frame draw at the current position; the mover then steps the position.
    virtual void Draw(const FrameContext& frame);
    // Start placement when the scene is composed: the mover gives the start position.
    virtual void Setup(const FrameContext& frame, int colourStep, int spread);
    virtual void SetColor(int colourOffset, float alpha);
    // Bounding size used by movers.
    virtual float Radius() const = 0;
    // Polygons the mover's group will add to the scene.
    virtual int GroupCount(int budget) const;
    // Polygons one draw costs.
    virtual int PolygonCount() const = 0;
    // False for shapes whose vertices carry their own colours.
    virtual bool UsesShapeColor() const { return true; }

    float DistanceTo(const Shape& other) const;
    // Multiplies both of the rotater's rates (nothing without a rotater).
    void ScaleSpin(float factor);

    // Group hooks, forwarded to the mover (nothing without one; IsActive is then true).
    void FrameUpdate(const FrameContext& frame);
    void AddVelocity(float dx, float dy, float dz);
    void StopVelocity();
    void OnCollision();
    bool IsActive() const;

    float X() const { return m_X; }
    float Y() const { return m_Y; }
    float Z() const { return m_Z; }
    void SetPosition(float x, float y, float z);
    float StartX() const { return m_StartX; }
    float StartY() const { return m_StartY; }
    float StartZ() const { return m_StartZ; }
    int ColorOffset() const { return m_ColorOffset; }
    float Alpha() const { return m_Alpha; }
    // Written and read by the orbiting mover only.
    float Mass() const { return m_Mass; }
    void SetMass(float mass) { m_Mass = mass; }

    Mover* GetMover() const { return m_pMover.get(); }
    Rotater* GetRotater() const { return m_pRotater.get(); }
    ColorChanger* GetColorChanger() const { return m_pColorChanger.get(); }
    Random& Rand() const { return *m_pRand; }

    // The shape factory: draws a kind from context.kinds (one choose, up to 10 tries),
    // avoiding the excluded kinds, and builds it with rng. Kinds outside the table build a
    // cube; without a kind table the factory builds kind 0 without drawing.
    static std::unique_ptr<Shape> Create(Random& rng, const ShapeContext& context,
                                         const std::vector<int>* excluded = nullptr);
    // The class the factory builds for a kind.
    static std::unique_ptr<Shape> CreateKind(int kind, Random& rng,
                                             const ShapeContext& context = {});
    // The table's kind number of shape's class, -1 for a class outside the table.
    static int KindOf(const Shape& shape);
    // The photograph cube's kind number.
    static int PhotoCubeKind();
    // The factory's weights for this run, one per kind 0 .. KindCount - 1, from the
    // machine's performance, the photograph probability and whether there are folders. A
    // kind without a class yet weighs 0.
    static FloatArray KindWeights(const RegSettings& settings);

    static constexpr int KindCount = 19;

protected:
    // animated: build a mover, then a rotater (a RotaterRandom when randomRotater), then a
    // colour changer, drawing from rng in that order. Otherwise all three stay null for
    // the subclass to fill.
    Shape(Random& rng, const MotionContext& motion, bool animated, bool randomRotater = false);
    // For Clone: same generator, behaviours cloned from source's current state, position,
    // start position, colour offset and mass 0, alpha 1.
    Shape(const Shape& source);

    void SetMover(std::unique_ptr<Mover> mover);
    void SetRotater(std::unique_ptr<Rotater> rotater);
    void SetColorChanger(std::unique_ptr<ColorChanger> changer);

private:
    std::unique_ptr<Rotater> m_pRotater;
    std::unique_ptr<Mover> m_pMover;
    std::unique_ptr<ColorChanger> m_pColorChanger;
    float m_X = 0, m_Y = 0, m_Z = 0;
    float m_StartX = 0, m_StartY = 0, m_StartZ = 0;
    int m_ColorOffset = 0;
    Random* m_pRand;
    float m_Mass = 0;
    float m_Alpha = 1.0f;
};
