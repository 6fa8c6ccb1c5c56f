#include "patterns/PatternPlasma.h"

#include "core/Random.h"
#include "patterns/PatternMath.h"

#include <algorithm>

PatternPlasma::PatternPlasma(Random& rng, const PatternContext& context)
    : PatternCalculator(rng, context), m_Rho(1 << rng.skewed(5, 2)),
      m_Top(context.colourCount > 1 ? context.colourCount - 1 : 0) {}

void PatternPlasma::FillGrid(IntGrid& grid, int width, int height, bool /*mirror*/) {
    grid.Resize(width, height);
    Random& rng = Rand();
    const int cells = grid.Rows() * grid.Columns();
    int* data = grid.Data();
    for (int k = 0; k < cells; ++k)
        data[k] = rng.below(m_Top + 1);
    m_Marked.assign(static_cast<std::size_t>(cells), 0);
    Target target{grid, m_Marked};
    Subdivide(target, 0, 0, grid.Columns() - 1, grid.Rows() - 1);
}

void PatternPlasma::SetPoint(Target& t, int r, int c, int sum, int divisor, int d) {
    char& mark = t.marked[static_cast<std::size_t>(c + r * t.grid.Columns())];
    if (mark)
        return;
    const int value = sum / divisor + Rand().below(2 * d) - d;
    t.grid(r, c) = std::clamp(value, 0, m_Top);
    mark = 1;
}

void PatternPlasma::Subdivide(Target& t, int c0, int r0, int c1, int r1) {
    if (c1 - c0 <= 1 && r1 - r0 <= 1)
        return;
    if (!CanGoOn())
        return;
    const int cm = (c0 + c1) / 2;
    const int rm = (r0 + r1) / 2;
    IntGrid& g = t.grid;
    // Corners are read afresh for each point: in a rectangle one cell wide a midpoint may be a
    // corner itself.
    const int across = (c1 - c0) / m_Rho;
    const int down = (r1 - r0) / m_Rho;
    SetPoint(t, r0, cm, g(r0, c0) + g(r0, c1), 2, across);
    SetPoint(t, rm, c1, g(r0, c1) + g(r1, c1), 2, down);
    SetPoint(t, r1, cm, g(r1, c0) + g(r1, c1), 2, across);
    SetPoint(t, rm, c0, g(r0, c0) + g(r1, c0), 2, down);
    SetPoint(t, rm, cm, g(r0, c0) + g(r0, c1) + g(r1, c1) + g(r1, c0), 4,
             ((r1 - r0) + (c1 - c0)) / m_Rho);
    Subdivide(t, c0, r0, cm, rm);
    Subdivide(t, cm, r0, c1, rm);
    Subdivide(t, c0, rm, cm, r1);
    Subdivide(t, cm, rm, c1, r1);
}

void PatternPlasma::Prepare(int width, int height) {
    m_Grid = IntGrid();
    FillGrid(m_Grid, width, height, false);
    m_bHasGrid = true;
}

void PatternPlasma::Calculate(const FloatArray& inputs, FloatArray& outputs) {
    if (!m_bHasGrid)
        Prepare(64, 64);
    const int rows = m_Grid.Rows();
    const int columns = m_Grid.Columns();
    if (rows == 0 || columns == 0 || m_Top == 0) {
        outputs[0] = 0.0f;
        return;
    }
    const auto cell = [](int count, float v) {
        const int k = TruncToInt(static_cast<float>(count - 1) * (v + 1.0f) / 2.0f);
        return std::clamp(k, 0, count - 1);
    };
    const int r = cell(rows, Input(inputs, 0));
    const int c = cell(columns, Input(inputs, 1));
    outputs[0] = static_cast<float>(m_Grid(r, c)) / static_cast<float>(m_Top);
}
