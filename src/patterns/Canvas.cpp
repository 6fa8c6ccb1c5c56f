#include "patterns/Canvas.h"

#include "core/Random.h"

#include <algorithm>
#include <climits>

namespace {

// Mirror images and jitter can leave the int range only far outside any canvas; pinning
// them to the range keeps them outside without overflowing.
int Pinned(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

} // namespace

Canvas::Canvas(int width, int height, Random& rng)
    : m_Width(std::max(width, 0)), m_Height(std::max(height, 0)), m_pRand(&rng) {}

void Canvas::Plot(int x, int y) {
    long long px = x;
    long long py = y;
    if (m_bJitter) {
        px += m_pRand->below(3) - 1;
        py += m_pRand->below(3) - 1;
    }
    PutPixel(Pinned(px), Pinned(py));
    if (m_bMirror) {
        // The mirror of x is width - x, so column 0 mirrors to width, outside the canvas.
        const int mx = Pinned(m_Width - px);
        const int my = Pinned(m_Height - py);
        PutPixel(mx, Pinned(py));
        PutPixel(mx, my);
        PutPixel(Pinned(px), my);
    }
}

void Canvas::Diffuse() {
    const int s = m_pRand->below(32) + 2;
    for (int x = 0; x < m_Width; ++x) {
        for (int y = 0; y < m_Height; ++y) {
            const int dx = m_pRand->below(s);
            const int dy = m_pRand->below(s);
            const int tx = std::clamp(x + dx - s / 2, 0, m_Width - 1);
            const int ty = std::clamp(y + dy - s / 2, 0, m_Height - 1);
            CopyPixel(x, y, tx, ty);
        }
    }
}
