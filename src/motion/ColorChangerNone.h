#pragma once

#include "motion/ColorChanger.h"

// The shape keeps the colour its offset gives.
class ColorChangerNone : public ColorChanger {
public:
    using ColorChanger::ColorChanger;

    std::unique_ptr<ColorChanger> Clone() const override {
        return std::unique_ptr<ColorChanger>(new ColorChangerNone(*this));
    }
    int Index(int, float, float, float) const override { return 0; }

private:
    ColorChangerNone(const ColorChangerNone& source) = default;
};
