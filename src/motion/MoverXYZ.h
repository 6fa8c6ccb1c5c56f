#pragma once

#include "motion/MoverExplode.h"

#include <array>
#include <memory>
#include <vector>

// Trains: the shapes of a burst group run along one shared path of axis-parallel segments,
// each one frame behind the shape that joined the group before it. The paths are built
// once per scene by the first Setup, so a step is a table look-up.
//
// The path table belongs to the prototype's group like the burst tables: built by the
// group's first Setup, shared by every clone, freed with the last of them.
class MoverXYZ : public MoverExplode {
public:
    MoverXYZ(Random& rng,
             const MotionContext& motion); // the prototype, group base 1; makes the path table

    std::unique_ptr<Mover> Clone() const override;
    void Setup(Shape& shape, const FrameContext& frame, int colourStep, int spread) override;
    void StartPosition(float& x, float& y, float& z) override;
    void Step(float& x, float& y, float& z, const FrameContext& frame) override;

    // Frames this shape runs behind its group's first member.
    int Delay() const { return m_Delay; }
    bool IsOwner() const { return m_bOwner; }

    bool PathsReady() const { return m_pPaths->ready; }
    // Points in the path of a group: the cycle length, or 0 before the paths are built.
    int PathLength(int group) const;
    void PathPoint(int group, int index, float& x, float& y, float& z) const;

private:
    MoverXYZ(const MoverXYZ& source);

    void BuildPaths(float bound, float radius, int cycleFrames);
    int CurrentAxis() const;

    using Path = std::array<std::vector<float>, 3>; // x, y and z of every frame
    struct PathTable {
        std::vector<Path> paths;
        bool ready = false;
    };
    std::shared_ptr<PathTable> m_pPaths;

    std::array<float, 3> m_Velocity{}; // the path builder's direction state
    int m_Delay = 0;
    bool m_bOwner = false;
};
