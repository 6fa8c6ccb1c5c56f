#pragma once

#include "motion/MoverSin.h"

#include <vector>

// Shapes in groups trace one Lissajous figure per group, spreading out along it and
// closing up again in pulses.
class MoverFollow : public MoverSin {
public:
    explicit MoverFollow(Random& rng); // the prototype: rebuilds the group tables

    std::unique_ptr<Mover> Clone() const override;
    void Setup(Shape& shape, Saver& scene, int colourStep, int spread) override;
    void Step(float& x, float& y, float& z, const Saver& scene) override;

    // Setup and Step on plain numbers; Prepare returns the colour offset.
    int Prepare(int cycleFrames, int colourStep, float aspect);
    void Advance(float& x, float& y, float& z, float t);

    int Group() const { return static_cast<int>(m_Group); }
    int MemberIndex() const { return static_cast<int>(m_MemberIndex); }
    static int GroupCount() { return static_cast<int>(s_Groups.size()); }
    static int MemberCount(int group) { return s_Groups[group].memberCount; }
    // Frames between two closings of a group; 0 until the scene's first Setup.
    static float PulsePeriod(int group) { return s_Groups[group].pulsePeriod; }

private:
    MoverFollow(const MoverFollow& source); // joins a random group

    void Join();

    struct GroupTable {
        int memberCount = 0;
        int fx = 0, fy = 0, fz = 0;   // frequency multipliers 1 .. 10
        float ax = 0, ay = 0, az = 0; // amplitude factors in [-1, 1)
        float pulsePeriod = 0;        // frames
    };
    static std::vector<GroupTable> s_Groups;
    static bool s_bPulsesReady;

    float m_Group = 0;
    float m_MemberIndex = 0;
};
