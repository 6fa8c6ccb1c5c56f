#pragma once

#include "motion/FrameContext.h"

#include <memory>
#include <vector>

class Random;
struct MotionContext;

// Picks a shape's index into the scene colour table each frame; the shape adds its colour
// offset and wraps the sum through the table. Changers hold no reference to the table.
class ColorChanger {
public:
    explicit ColorChanger(Random& rng) : m_pRand(&rng) {}
    virtual ~ColorChanger() = default;
    ColorChanger& operator=(const ColorChanger&) = delete;

    // Kinds 0 none, 1 cycle, 2 position; the last two only for tables of at most 10 bands.
    static std::unique_ptr<ColorChanger> Create(Random& rng, const MotionContext& motion,
                                                const std::vector<int>* excluded = nullptr);
    // The table's kind number of changer's class, -1 for a class outside the table.
    static int KindOf(const ColorChanger& changer);

    virtual std::unique_ptr<ColorChanger> Clone() const = 0;
    // Never negative.
    virtual int ColorIndex(const FrameContext& frame, float x, float y, float z) const;
    // ColorIndex on plain numbers.
    virtual int Index(int frameNumber, float x, float y, float z) const = 0;

protected:
    ColorChanger(const ColorChanger& source) = default;

    Random* m_pRand;
};
