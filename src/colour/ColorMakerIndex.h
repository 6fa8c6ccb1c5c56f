#pragma once

#include "colour/ColorMaker.h"

// Ignores the parameter: successive calls walk through the table by a fixed random step.
class ColorMakerIndex : public ColorMaker {
public:
    ColorMakerIndex(Random& rng, const ColourTable& table); // index, then step

    Color MakeColor(const FloatArray& parameter) override;

    int Index() const { return m_Index; }
    int Step() const { return m_Step; }

private:
    int m_Index; // 0 .. N - 1
    int m_Step;  // 1 .. N / 2
};
