#pragma once

#include "core/Vec3d.h"

#include <array>

// The small matrix stack the primitive routines build geometry through, independent of the
// GL matrix stacks (the result is compiled into display lists). Level 0 is the identity.
class TransformStack {
public:
    static constexpr int kLevels = 10;

    TransformStack();

    // Copies the current level to the next; a push with nine levels already pushed is fatal.
    void Push();
    // Returns to the previous level; a pop at level 0 is fatal.
    void Pop();

    // Post-multiply the current matrix, as glTranslated and glScaled would.
    void Translate(double x, double y, double z);
    void Scale(double sx, double sy, double sz);

    Vec3d Point(const Vec3d& p) const;
    // Through the normal matrix (inverse transpose of the linear part), then normalised.
    Vec3d Normal(const Vec3d& n) const;

    int Depth() const { return m_Top; }

private:
    using Matrix4 = std::array<std::array<double, 4>, 4>; // [row][column]
    using Matrix3 = std::array<std::array<double, 3>, 3>;

    struct Level {
        Matrix4 matrix;
        Matrix3 normal;
    };

    std::array<Level, kLevels> m_Levels{};
    int m_Top = 0;
    // Until the first translate or scale every level is the identity and points and
    // normals pass through untouched.
    bool m_bTransformed = false;
};
