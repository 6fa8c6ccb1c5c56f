#include "meshes/PolyFacet.h"

#include <cmath>

void PolyFacet::SetFlatNormal(bool forward) {
    const int count = Size();
    if (count < 3)
        return;
    const auto at = [&](int k) -> const std::array<float, 3>& {
        const int index = forward ? k % count : count - 1 - k % count;
        return m_Vertices[static_cast<size_t>(index)].position;
    };
    float nx = 0.0f, ny = 0.0f, nz = 0.0f;
    for (int k = 0; k < count; ++k) {
        const auto& a = at(k);
        const auto& b = at(k + 1);
        nx += (a[1] - b[1]) * (a[2] + b[2]);
        ny += (a[2] - b[2]) * (a[0] + b[0]);
        nz += (a[0] - b[0]) * (a[1] + b[1]);
    }
    const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length != 0.0f) {
        nx /= length;
        ny /= length;
        nz /= length;
    }
    for (PolyVertex& v : m_Vertices)
        v.SetNormal(nx, ny, nz);
}
