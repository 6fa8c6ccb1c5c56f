#pragma once

#include "patterns/Canvas.h"

#include <span>

// A canvas of on/off cells, one byte a point, row-major (point (x, y) at x + y * width),
// each 0 (paper) or 1 (ink). The cells belong to the creator, who keeps them alive while the
// canvas is used. Pens: 0 writes ink, 2 inverts the cell, any other value writes paper.
class CanvasBoolMap : public Canvas {
public:
    static constexpr int kInk = 0;
    static constexpr int kPaper = 1;
    static constexpr int kToggle = 2;

    // Mirror and jitter off; pen, alternate pen and saved pen all kToggle.
    CanvasBoolMap(std::span<unsigned char> cells, int width, int height, Random& rng);

    void SetColor(int pen) override;
    void SetTrueColor(int rgb) override;
    void SetAltColor(int pen) override;
    void UseAltColor() override;
    void SetToggle(bool on) override;
    void RestoreColor() override;
    bool IsReadable() const override { return false; }
    int GetPixel(int x, int y) const override; // always 0: the cells are not for reading back
    void PutPixel(int x, int y) override;
    bool IsOnOff() const override { return true; }
    int RepeatCount(Random& rng, int bias) const override;
    bool HasColors() const override { return false; }
    void CopyPixel(int fromX, int fromY, int toX, int toY) override;

    int Pen() const { return m_Pen; }
    int AltPen() const { return m_AltPen; }
    int SavedPen() const { return m_SavedPen; }

private:
    // The cell of (x, y), or nullptr outside the canvas or the array.
    unsigned char* Cell(int x, int y) const;

    std::span<unsigned char> m_Cells;
    int m_Pen = kToggle;
    int m_AltPen = kToggle;
    int m_SavedPen = kToggle;
};
