#pragma once

#include "colour/ColorMaker.h"

// One table colour for every vertex.
class ColorMakerConst : public ColorMaker {
public:
    ColorMakerConst(Random& rng, const ColourTable& table);

    Color MakeColor(const FloatArray& parameter) override;

    int Index() const { return m_Index; }

private:
    int m_Index; // 0 .. N - 1
};
