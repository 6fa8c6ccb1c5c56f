#pragma once

#include "motion/ColorChanger.h"

// The colour follows the cell of a kx x ky x kz grid over the scene box the shape is in.
class ColorChangerPosition : public ColorChanger {
public:
    explicit ColorChangerPosition(Random& rng); // kx, ky, kz in 1 .. 5

    std::unique_ptr<ColorChanger> Clone() const override;
    // Cells count from the box's low corner; a shape below it gets 0, one beyond it a number
    // past kx * ky * kz, which the table wraps.
    int Index(int frameNumber, float x, float y, float z) const override;

    int CellsX() const { return m_CellsX; }
    int CellsY() const { return m_CellsY; }
    int CellsZ() const { return m_CellsZ; }

private:
    ColorChangerPosition(const ColorChangerPosition& source) = default;

    int m_CellsX, m_CellsY, m_CellsZ;
};
