#pragma once

#include "motion/ColorChanger.h"

// The shape runs through the table, one entry per frame.
class ColorChangerCycle : public ColorChanger {
public:
    using ColorChanger::ColorChanger;

    std::unique_ptr<ColorChanger> Clone() const override {
        return std::unique_ptr<ColorChanger>(new ColorChangerCycle(*this));
    }
    int Index(int frameNumber, float, float, float) const override {
        return frameNumber > 0 ? frameNumber : 0;
    }

private:
    ColorChangerCycle(const ColorChangerCycle& source) = default;
};
