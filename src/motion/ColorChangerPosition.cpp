#include "motion/ColorChangerPosition.h"

#include "core/Random.h"

namespace {

// Far outside the box a cell number would not fit an int; no shape gets near this.
constexpr float kFarCell = 1 << 20;

int Cell(int cells, float coordinate) {
    const float cell = static_cast<float>(cells) * (coordinate + 7.5f) / 15.0f;
    if (!(cell > -kFarCell)) // also not a number
        return -static_cast<int>(kFarCell);
    if (cell > kFarCell)
        return static_cast<int>(kFarCell);
    return static_cast<int>(cell); // toward zero: just below the box is still cell 0
}

} // namespace

ColorChangerPosition::ColorChangerPosition(Random& rng) : ColorChanger(rng) {
    m_CellsX = rng.below(5) + 1;
    m_CellsY = rng.below(5) + 1;
    m_CellsZ = rng.below(5) + 1;
}

std::unique_ptr<ColorChanger> ColorChangerPosition::Clone() const {
    return std::unique_ptr<ColorChanger>(new ColorChangerPosition(*this));
}

int ColorChangerPosition::Index(int, float x, float y, float z) const {
    const int fx = Cell(m_CellsX, x);
    const int fy = Cell(m_CellsY, y);
    const int fz = Cell(m_CellsZ, z);
    const long long index = fx + static_cast<long long>(m_CellsX) * (fy + m_CellsY * fz);
    return index < 0 ? 0 : static_cast<int>(index);
}
