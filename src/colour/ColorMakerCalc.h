#pragma once

#include "colour/ColorMaker.h"
#include "patterns/PatternCalculator.h"

// The colour follows a random pattern of the plane: value v in [0, 1] picks table entry
// floor((N - 1) v).
class ColorMakerCalc : public ColorMaker {
public:
    // Creates the pattern (family 1, rich) and randomizes it regular. sceneSize: the scene
    // window's larger side, pixels.
    ColorMakerCalc(Random& rng, const ColourTable& table, DrawGate* gate = nullptr,
                   bool developerMode = false, int sceneSize = 800);

    Color MakeColor(const FloatArray& parameter) override;
    void Prepare(int rows, int columns) override; // forwarded to the pattern

    const PatternCalculator& Pattern() const { return *m_pPattern; }

private:
    std::unique_ptr<PatternCalculator> m_pPattern;
    FloatArray m_Output; // one channel, kept so MakeColor allocates nothing
};
