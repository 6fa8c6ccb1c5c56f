#pragma once

#include "motion/MoverExplode.h"

#include <array>
#include <vector>

// Trains: the shapes of a burst group run along one shared path of axis-parallel segments,
// each one frame behind the shape that joined the group before it. The paths are built
// once per scene by the first Setup, so a step is a table look-up.
//
// The path table is class-wide. It holds values (no pointers) and belongs to the scene of
// the prototype that cleared it: that prototype frees it when it goes, unless a newer
// prototype has taken the table over in the meantime.
class MoverXYZ : public MoverExplode {
public:
    explicit MoverXYZ(Random& rng); // the prototype, group base 1; owns the path table
    ~MoverXYZ() override;

    std::unique_ptr<Mover> Clone() const override;
    void Setup(Shape& shape, Saver& scene, int colourStep, int spread) override;
    void StartPosition(float& x, float& y, float& z) override;
    void Step(float& x, float& y, float& z, const Saver& scene) override;

    // Frames this shape runs behind its group's first member.
    int Delay() const { return m_Delay; }
    bool IsOwner() const { return m_bOwner; }

    static bool PathsReady() { return s_bPathsReady; }
    // Points in the path of a group: the cycle length, or 0 before the paths are built.
    static int PathLength(int group);
    static void PathPoint(int group, int index, float& x, float& y, float& z);

private:
    MoverXYZ(const MoverXYZ& source);

    void BuildPaths(float bound, float radius, int cycleFrames);
    int CurrentAxis() const;

    using Path = std::array<std::vector<float>, 3>; // x, y and z of every frame
    static std::vector<Path> s_Paths;
    static bool s_bPathsReady;
    static unsigned s_Generation; // the prototype that owns the path table

    std::array<float, 3> m_Velocity{}; // the path builder's direction state
    int m_Delay = 0;
    bool m_bOwner = false;
    unsigned m_Generation = 0;
};
