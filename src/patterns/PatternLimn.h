#pragma once

#include "core/IntGrid.h"
#include "patterns/Limn.h"
#include "patterns/PatternCalculator.h"

#include <memory>

// A line drawing as a pattern: random figures drawn onto an on/off canvas, turned into a grid
// of two colour indexes of the scene colour table, answered by look-up. Offered by the
// factory only in developer mode. The drawing is the slowest pattern and gives up when the
// context's gate says stop.
class PatternLimn : public PatternCalculator {
public:
    PatternLimn(Random& rng, const PatternContext& context);

    bool IsVector() const override { return false; }
    void Randomize(int inputs, int outputs, bool regular, int bias) override;
    // Output 0: the grid cell nearest (x, y) over N - 1; draws a 128 x 128 grid first if there
    // is none.
    void Calculate(const FloatArray& inputs, FloatArray& outputs) override;
    // A new drawing: width rows x height columns, background b = below(N), foreground
    // b + N/2 (mirror ignored).
    void FillGrid(IntGrid& grid, int width, int height, bool mirror) override;
    // Replaces its own grid by a new drawing of this size.
    void Prepare(int width, int height) override;
    int Channels(int wanted) const override;

    // Draws a new line drawing over grid (columns are x, rows y): cells become foreground
    // where the drawing inked them, background elsewhere. When the gate stops the drawing
    // the grid keeps what it had.
    void DrawInto(IntGrid& grid, int background, int foreground);

    const IntGrid* Grid() const { return m_pGrid.get(); }
    const Limn* LastDrawing() const { return m_pLimn.get(); }

private:
    std::unique_ptr<IntGrid> m_pGrid;
    std::unique_ptr<Limn> m_pLimn;
};
