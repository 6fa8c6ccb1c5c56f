#pragma once

#include "core/FloatArray.h"
#include "patterns/Shape2D.h"

#include <memory>
#include <vector>

class Canvas;
class Random;
class WeightedChoice;

// A line drawing: a population of 2D figures drawn onto a canvas, usually in toggle mode so
// that overlapping figures cancel like an exclusive-or. Drawing asks the canvas's gate before
// each pass and each figure and stops when it says no, keeping what it drew.
class Limn {
public:
    struct Figure {
        std::unique_ptr<Shape2D> shape;
        int group; // 1..16
    };

    virtual ~Limn() = default;
    Limn(const Limn&) = delete;
    Limn& operator=(const Limn&) = delete;

    // Open figures first, then the closed ones; in toggle mode with shapes mode on each
    // closed figure is redrawn up to nine times at random shrinking scales.
    virtual void Draw(Canvas& canvas, bool toggle);
    // Every pair of figures keeps apart with probability p.
    virtual void Interact(float p);
    // Creates the figures: up to one per canvas column, a quarter as many when mirroring.
    virtual void Populate(Canvas& canvas);
    // Sets kinds to the figure-kind weights (saved) and lets them drift once.
    virtual void KindWeights(WeightedChoice& kinds, FloatArray& weights);

    // width * k / 1000 figures, a quarter of that when mirroring, at least 1.
    static int FigureCount(int width, int k, bool mirror);

    const std::vector<Figure>& Figures() const { return m_Figures; }
    bool HalfRange() const { return m_bHalfRange; }
    bool ShapesMode() const { return m_bShapesMode; }

protected:
    // colourCount: entries of the colour table the figures' colours are drawn from (>= 1).
    Limn(Random& rng, int colourCount);

    std::vector<Figure> m_Figures;
    Random* m_pRand;
    int m_ColourCount;
    bool m_bHalfRange = false;
    bool m_bShapesMode = false;
};
