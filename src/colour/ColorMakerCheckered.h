#pragma once

#include "colour/ColorMaker.h"

// Two table colours on a square board of cells x cells over [-1, 1]^2.
class ColorMakerCheckered : public ColorMaker {
public:
    ColorMakerCheckered(Random& rng, const ColourTable& table); // colour A, colour B, cells

    // Reads the first two parameter values (a missing one counts as 0).
    Color MakeColor(const FloatArray& parameter) override;

    int IndexA() const { return m_IndexA; }
    int IndexB() const { return m_IndexB; }
    int Cells() const { return m_Cells; }

private:
    int m_IndexA;
    int m_IndexB;
    int m_Cells; // 2, 4, 8 or 16
};
