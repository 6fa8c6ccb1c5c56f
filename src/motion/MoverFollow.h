#pragma once

#include "motion/MoverSin.h"

#include <memory>
#include <vector>

// Shapes in groups trace one Lissajous figure per group, spreading out along it and
// closing up again in pulses. The group tables belong to the prototype's group: built by
// its constructor, shared by every clone.
class MoverFollow : public MoverSin {
public:
    MoverFollow(Random& rng,
                const MotionContext& motion); // the prototype: rebuilds the group tables

    std::unique_ptr<Mover> Clone() const override;
    void Setup(Shape& shape, const FrameContext& frame, int colourStep, int spread) override;
    void Step(float& x, float& y, float& z, const FrameContext& frame) override;

    // Setup and Step on plain numbers; Prepare returns the colour offset.
    int Prepare(int cycleFrames, int colourStep, float aspect);
    void Advance(float& x, float& y, float& z, float t);

    int Group() const { return static_cast<int>(m_Group); }
    int MemberIndex() const { return static_cast<int>(m_MemberIndex); }
    int GroupCount() const { return static_cast<int>(m_pTables->groups.size()); }
    int MemberCount(int group) const { return m_pTables->groups[group].memberCount; }
    // Frames between two closings of a group; 0 until the scene's first Setup.
    float PulsePeriod(int group) const { return m_pTables->groups[group].pulsePeriod; }

private:
    MoverFollow(const MoverFollow& source); // joins a random group

    void Join();

    struct GroupTable {
        int memberCount = 0;
        int fx = 0, fy = 0, fz = 0;   // frequency multipliers 1 .. 10
        float ax = 0, ay = 0, az = 0; // amplitude factors in [-1, 1)
        float pulsePeriod = 0;        // frames
    };
    struct Tables {
        std::vector<GroupTable> groups;
        bool pulsesReady = false;
    };
    std::shared_ptr<Tables> m_pTables;

    float m_Group = 0;
    float m_MemberIndex = 0;
};
