#include "motion/MoverXYZ.h"

#include "core/Random.h"
#include "motion/SceneClock.h"
#include "shapes/Shape.h"

#include <cmath>

namespace {

constexpr int AxisX = 0, AxisY = 1, AxisZ = 2;

// The axis a path turns to, by the current axis and a uniform draw K: the first choice
// for K below 0.333, the second below 0.667, the third otherwise.
int TurnedAxis(int current, double k) {
    static constexpr int table[3][3] = {
        {AxisY, AxisY, AxisZ},
        {AxisX, AxisZ, AxisZ},
        {AxisX, AxisY, AxisY},
    };
    const int column = k < 0.333 ? 0 : (k < 0.667 ? 1 : 2);
    return table[current][column];
}

} // namespace

MoverXYZ::MoverXYZ(Random& rng, const MotionContext& motion)
    : MoverExplode(rng, motion, 1), m_pPaths(std::make_shared<PathTable>()), m_bOwner(true) {
    m_Velocity = {MyGroup().speed, 0, 0};
    m_Delay = MyGroup().memberCount - 1;
}

MoverXYZ::MoverXYZ(const MoverXYZ& source)
    : MoverExplode(source), m_pPaths(source.m_pPaths), m_bOwner(false) {
    m_Velocity = {MyGroup().speed, 0, 0};
    m_Delay = MyGroup().memberCount - 1;
}

std::unique_ptr<Mover> MoverXYZ::Clone() const {
    return std::unique_ptr<Mover>(new MoverXYZ(*this));
}

void MoverXYZ::Setup(Shape& shape, const FrameContext& frame, int, int) {
    const int members = MyGroup().memberCount;
    int colourOffset = ColourOffsetOfGroup(m_Group, m_Motion.colourCount);
    if (m_bColourBySpread)
        colourOffset += m_Delay;
    if (members > 1) // later members turn faster
        shape.ScaleSpin(static_cast<float>(m_Delay + 1) / static_cast<float>(members - 1));
    shape.SetColor(colourOffset, 1.0f);
    const float bound = 7.5f - shape.Radius();
    const int period = frame.clock.cycleFrames;
    m_StopFrame = static_cast<int>(period * 0.95);
    if (!m_pPaths->ready) {
        BuildPaths(bound, shape.Radius(), period);
        m_pPaths->ready = true;
    }
}

int MoverXYZ::CurrentAxis() const {
    if (m_Velocity[AxisX] != 0)
        return AxisX;
    if (m_Velocity[AxisY] != 0)
        return AxisY;
    return m_Velocity[AxisZ] != 0 ? AxisZ : AxisX;
}

void MoverXYZ::BuildPaths(float bound, float radius, int cycleFrames) {
    Random& rng = *m_pRand;
    const auto length = static_cast<std::size_t>(cycleFrames);
    const BurstGroups& groups = Groups();
    std::vector<Path>& paths = m_pPaths->paths;
    paths.assign(groups.size(), Path{});
    for (std::size_t g = 0; g < paths.size(); ++g) {
        Path& path = paths[g];
        for (std::vector<float>& axis : path)
            axis.assign(length, 0.0f);
        const auto stepLength = static_cast<float>(rng.uniform() * radius + groups[g].speed);
        const double turnProbability = (1.0 - rng.uniform()) * 0.1;
        for (std::size_t i = 0; i < length; ++i) {
            bool turn = rng.uniform() < turnProbability;
            if (i == 0) {
                path[AxisX][0] = groups[g].originX;
                path[AxisY][0] = groups[g].originY;
                path[AxisZ][0] = groups[g].originZ;
                continue;
            }
            for (const std::vector<float>& axis : path)
                turn = turn || std::fabs(axis[i - 1]) > bound; // out too far: turn back
            if (turn) {
                const int axis = TurnedAxis(CurrentAxis(), rng.uniform());
                const float previous = path[axis][i - 1];
                int direction = 0;
                if (std::fabs(previous) >= bound)
                    direction = previous > 0 ? -1 : 1; // head back inwards
                else
                    direction = Sign();
                m_Velocity = {0, 0, 0};
                m_Velocity[axis] = stepLength * static_cast<float>(direction);
            }
            for (int a = 0; a < 3; ++a)
                path[a][i] = path[a][i - 1] + m_Velocity[a];
        }
    }
}

void MoverXYZ::StartPosition(float& x, float& y, float& z) {
    GroupOrigin(m_Group, x, y, z);
}

void MoverXYZ::Step(float& x, float& y, float& z, const FrameContext& frame) {
    const int j = frame.clock.frameNumber - m_Delay;
    if (j < 0 || j >= m_StopFrame || j >= PathLength(m_Group)) {
        m_bVisible = false;
        return;
    }
    PathPoint(m_Group, j, x, y, z);
    m_bVisible = true;
}

int MoverXYZ::PathLength(int group) const {
    const std::vector<Path>& paths = m_pPaths->paths;
    if (group < 0 || static_cast<std::size_t>(group) >= paths.size())
        return 0;
    return static_cast<int>(paths[group][AxisX].size());
}

void MoverXYZ::PathPoint(int group, int index, float& x, float& y, float& z) const {
    const Path& path = m_pPaths->paths[group];
    x = path[AxisX][index];
    y = path[AxisY][index];
    z = path[AxisZ][index];
}
