#include "patterns/PatternLimn.h"

#include "core/Random.h"
#include "patterns/CanvasBoolMap.h"
#include "patterns/LimnShapes.h"
#include "patterns/PatternMath.h"

#include <algorithm>
#include <vector>

PatternLimn::PatternLimn(Random& rng, const PatternContext& context)
    : PatternCalculator(rng, context) {}

void PatternLimn::Randomize(int, int, bool, int) {}

int PatternLimn::Channels(int) const {
    return 1;
}

void PatternLimn::DrawInto(IntGrid& grid, int background, int foreground) {
    if (!CanGoOn())
        return;
    Random& rng = Rand();
    const int rows = grid.Rows();
    const int columns = grid.Columns();
    const bool ink = rng.flip() == 1 && background != 0;
    std::vector<unsigned char> cells(
        static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns), ink ? 1 : 0);
    CanvasBoolMap canvas(cells, columns, rows, rng);
    canvas.SetGate(Context().gate);

    const bool toggle = rng.uniform() < 0.5;
    // Drawing marks the opposite of what the cells start as.
    canvas.SetAltColor(ink ? CanvasBoolMap::kPaper : CanvasBoolMap::kInk);
    if (!toggle || rng.uniform() < 0.5)
        canvas.UseAltColor();
    else
        canvas.SetColor(CanvasBoolMap::kToggle);

    m_pLimn = std::make_unique<LimnShapes>(rng, canvas, toggle, false, ColourCount());
    const double u1 = rng.uniform();
    const double u2 = rng.uniform();
    const double u3 = rng.uniform();
    m_pLimn->Interact(static_cast<float>(1 - u3 * u2 * u1));
    m_pLimn->Draw(canvas, toggle);

    if (!CanGoOn())
        return;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            const std::size_t index =
                static_cast<std::size_t>(x) + static_cast<std::size_t>(y) * columns;
            grid(y, x) = cells[index] == 1 ? foreground : background;
        }
    }
}

void PatternLimn::FillGrid(IntGrid& grid, int width, int height, bool) {
    grid.Resize(width, height);
    std::fill(grid.Data(), grid.Data() + static_cast<std::size_t>(grid.Rows()) * grid.Columns(), 0);
    const int n = std::max(ColourCount(), 1);
    const int b = Rand().below(n);
    DrawInto(grid, b, (b + n / 2) % n);
}

void PatternLimn::Prepare(int width, int height) {
    m_pGrid = std::make_unique<IntGrid>(width, height);
    FillGrid(*m_pGrid, width, height, false);
}

void PatternLimn::Calculate(const FloatArray& inputs, FloatArray& outputs) {
    if (!m_pGrid)
        Prepare(128, 128);
    if (outputs.empty())
        return;
    const IntGrid& grid = *m_pGrid;
    if (grid.Empty() || inputs.size() < 2) {
        outputs[0] = 0.0f;
        return;
    }
    const auto cell = [](int count, float v) {
        return std::clamp(TruncToInt((count - 1) * (v + 1.0) / 2), 0, count - 1);
    };
    const int r = cell(grid.Rows(), inputs[0]);
    const int c = cell(grid.Columns(), inputs[1]);
    const int n = std::max(ColourCount(), 1);
    outputs[0] = n > 1 ? static_cast<float>(grid(r, c)) / static_cast<float>(n - 1) : 0.0f;
}
