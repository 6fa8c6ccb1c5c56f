#include "patterns/CanvasBoolMap.h"

#include "core/Random.h"

CanvasBoolMap::CanvasBoolMap(std::span<unsigned char> cells, int width, int height, Random& rng)
    : Canvas(width, height, rng), m_Cells(cells) {}

void CanvasBoolMap::SetColor(int pen) {
    m_Pen = pen;
    m_SavedPen = pen;
}

void CanvasBoolMap::SetTrueColor(int) {}

void CanvasBoolMap::SetAltColor(int pen) {
    m_AltPen = pen;
}

void CanvasBoolMap::UseAltColor() {
    m_Pen = m_AltPen;
}

void CanvasBoolMap::SetToggle(bool on) {
    if (on) {
        m_SavedPen = m_Pen;
        m_Pen = kToggle;
    } else {
        m_Pen = m_SavedPen;
    }
}

void CanvasBoolMap::RestoreColor() {
    m_Pen = m_SavedPen;
}

int CanvasBoolMap::GetPixel(int, int) const {
    return 0;
}

unsigned char* CanvasBoolMap::Cell(int x, int y) const {
    if (!Contains(x, y))
        return nullptr;
    const std::size_t index = static_cast<std::size_t>(x) +
                              static_cast<std::size_t>(y) * static_cast<std::size_t>(Width());
    return index < m_Cells.size() ? &m_Cells[index] : nullptr;
}

void CanvasBoolMap::PutPixel(int x, int y) {
    unsigned char* cell = Cell(x, y);
    if (cell == nullptr)
        return;
    if (m_Pen == kToggle)
        *cell = *cell != 0 ? 0 : 1;
    else
        *cell = m_Pen == kInk ? 1 : 0;
}

int CanvasBoolMap::RepeatCount(Random& rng, int bias) const {
    return rng.skewed(10, bias);
}

void CanvasBoolMap::CopyPixel(int fromX, int fromY, int toX, int toY) {
    const unsigned char* from = Cell(fromX, fromY);
    unsigned char* to = Cell(toX, toY);
    if (from != nullptr && to != nullptr)
        *to = *from;
}
