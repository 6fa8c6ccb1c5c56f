#include "patterns/Limn.h"

#include "core/DrawGate.h"
#include "core/Random.h"
#include "core/WeightedChoice.h"
#include "patterns/Canvas.h"

#include <algorithm>
#include <climits>

Limn::Limn(Random& rng, int colourCount) : m_pRand(&rng), m_ColourCount(std::max(colourCount, 1)) {}

int Limn::FigureCount(int width, int k, bool mirror) {
    long long count = static_cast<long long>(std::max(width, 0)) * k / 1000;
    if (mirror)
        count /= 4; // each figure is drawn four times
    return static_cast<int>(std::clamp<long long>(count, 1, INT_MAX));
}

void Limn::KindWeights(WeightedChoice& kinds, FloatArray& weights) {
    weights = Shape2D::LineDrawingWeights();
    kinds.setWeights(weights, true);
    kinds.perturb(*m_pRand);
}

void Limn::Populate(Canvas& canvas) {
    Random& rng = *m_pRand;
    WeightedChoice kinds;
    FloatArray kindWeights;
    KindWeights(kinds, kindWeights);
    const int k = rng.skewed(1000, 5) + 1;
    const int count = FigureCount(canvas.Width(), k, canvas.Mirror());
    WeightedChoice groups;
    FloatArray groupWeights(16);
    for (float& w : groupWeights)
        w = static_cast<float>(rng.below(100));
    groups.setWeights(groupWeights, true);
    m_Figures.reserve(m_Figures.size() + static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        // A table colour (its index): the on/off canvas ignores colours.
        const int colour = rng.below(m_ColourCount);
        auto shape = Shape2D::Create(rng, canvas, kinds, colour, m_bHalfRange);
        const int group = groups.choose(rng, nullptr, 10) + 1;
        m_Figures.push_back({std::move(shape), group});
    }
}

void Limn::Interact(float p) {
    for (std::size_t a = 0; a < m_Figures.size(); ++a) {
        for (std::size_t b = a; b < m_Figures.size(); ++b) {
            if (m_pRand->uniform() < p && a != b)
                m_Figures[a].shape->KeepApart(*m_Figures[b].shape);
        }
    }
}

void Limn::Draw(Canvas& canvas, bool toggle) {
    Random& rng = *m_pRand;
    const int bias = rng.skewed(10, 2) + 1;
    const auto goOn = [&] { return CanGoOn(canvas.Gate()); };
    const auto drawOnce = [&](Shape2D& shape) {
        shape.SetToggle(toggle);
        shape.Draw(canvas, false, true);
    };
    if (!goOn())
        return;
    for (Figure& figure : m_Figures) {
        if (!goOn())
            return;
        if (figure.shape->IsOpen())
            drawOnce(*figure.shape);
    }
    if (!goOn())
        return;
    for (Figure& figure : m_Figures) {
        if (!goOn())
            return;
        Shape2D& shape = *figure.shape;
        if (shape.IsOpen())
            continue;
        drawOnce(shape);
        if (!toggle || !m_bShapesMode)
            continue;
        const int repeats = canvas.RepeatCount(rng, bias);
        for (int i = 0; i < repeats; ++i) {
            if (!goOn())
                return;
            shape.Scale(static_cast<float>(rng.uniform()));
            drawOnce(shape);
        }
    }
}
