#pragma once

#include "core/FloatArray.h"

#include <memory>

class DrawGate;
class IntGrid;
class Random;

// What a pattern reads from the running scene, handed in by its maker so that patterns need
// no application object.
struct PatternContext {
    int colourCount = 256;      // N of the scene colour table (>= 1 assumed; 0 is read as 1)
    int bandCount = 1;          // gradient bands the table was built from
    bool developerMode = false; // the line-drawing kind is offered only then
    DrawGate* gate = nullptr;   // long searches give up when it says stop; null never does
    int sceneSize = 800;        // the larger of the scene window's width and height, pixels
};

// A random function of the plane: a point of [-1, 1]^2 (x, then y) gives one value in
// [0, 1] per channel. Each object draws its own parameters once (Randomize) and then
// answers any number of queries. Callers size both arrays; a calculator writes only the
// channels it produces.
class PatternCalculator {
public:
    PatternCalculator(Random& rng, const PatternContext& context);
    virtual ~PatternCalculator();
    PatternCalculator(const PatternCalculator&) = delete;
    PatternCalculator& operator=(const PatternCalculator&) = delete;

    // Family 1 (the only family there is; any other number is read as 1): draws one kind
    // with one choose(). rich offers the plasma, rich in developer mode the line drawing.
    static std::unique_ptr<PatternCalculator> Create(Random& rng, int family, bool rich,
                                                     const PatternContext& context);

    // True if it produces several independent channels.
    virtual bool IsVector() const { return false; }
    // Draws the parameters; does nothing once randomized. inputs: coordinates per point;
    // outputs: channels wanted; regular: tidy parameters; bias: skew for skewed().
    virtual void Randomize(int inputs, int outputs, bool regular, int bias) = 0;
    // One point; allocates nothing.
    virtual void Calculate(const FloatArray& inputs, FloatArray& outputs) = 0;
    // Resizes grid to width rows x height columns and fills it with colour indexes
    // 0 .. N - 1 (trunc(N v) mod N), randomizing first; mirror computes one quadrant and
    // copies it about both centre lines.
    virtual void FillGrid(IntGrid& grid, int width, int height, bool mirror);
    // Builds any internal raster at this size.
    virtual void Prepare(int width, int height);
    // Calculate with the produced values mapped from [0, 1] to [-1, 1].
    virtual void CalculateSigned(const FloatArray& inputs, FloatArray& outputs);
    // Channels it fills when wanted are asked for.
    virtual int Channels(int wanted) const = 0;

    bool IsRandomized() const { return m_bRandomized; }
    const PatternContext& Context() const { return m_Context; }

protected:
    Random& Rand() const { return *m_pRand; }
    int ColourCount() const { return m_Context.colourCount; }
    // False when the scene asks long work to give up.
    bool CanGoOn() const;
    // Coordinate k of a point, 0 when the caller passed fewer.
    static float Input(const FloatArray& inputs, std::size_t k) {
        return k < inputs.size() ? inputs[k] : 0.0f;
    }

    bool m_bRandomized = false;

private:
    Random* m_pRand;
    PatternContext m_Context;
};

// trunc(n v) mod n as a colour index, always in 0 .. n - 1 (0 for a value that is not a
// number); n >= 1.
int PatternColourIndex(float v, int n);
