#pragma once

#include <array>

// A point or direction in double precision, as the primitive routines pass to glVertex3dv
// and glNormal3dv.
using Vec3d = std::array<double, 3>;

inline Vec3d operator-(const Vec3d& a, const Vec3d& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

inline Vec3d operator*(const Vec3d& v, double k) {
    return {v[0] * k, v[1] * k, v[2] * k};
}

inline double Dot(const Vec3d& a, const Vec3d& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

inline Vec3d Cross(const Vec3d& a, const Vec3d& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Divides v by its length; a zero vector is a fatal error of the primitive routines.
Vec3d Normalize(const Vec3d& v);
