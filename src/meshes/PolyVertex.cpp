#include "meshes/PolyVertex.h"

#include "colour/ColorMaker.h"
#include "core/FloatArray.h"

#include <cmath>

PolyVertex::PolyVertex(float x, float y, float z, float nx, float ny, float nz, float s_, float t_,
                       ColorMaker* maker)
    : position{x, y, z}, s(s_), t(t_), hasNormal(true) {
    float length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length == 0.0f)
        length = 1.0f;
    normal = {nx / length, ny / length, nz / length};
    if (maker != nullptr) {
        const FloatArray point = {2.0f * s - 1.0f, std::fabs(2.0f * t - 1.0f)};
        colour = maker->MakeColor(point);
    }
}

void PolyVertex::SetNormal(float x, float y, float z) {
    normal = {x, y, z};
    hasNormal = true;
}
