#pragma once

#include <memory>

class Random;

// Combines two values a, b whose magnitudes reach ra, rb into one, roughly within [-1, 1].
// The bitwise members map each operand from [-range, range] onto 0 .. N (the size of the
// scene colour table), so their results fall on colour-table steps; they and Min give 0
// when a range is 0.
class BinOp {
public:
    explicit BinOp(int colourCount); // N, at least 1
    virtual ~BinOp() = default;

    // One below(9): 0 add, 1 mult, 2 sqrt, 3 and, 4 or, 5 xor, 6 mod, 7 min, 8 atan.
    static std::unique_ptr<BinOp> Create(Random& rng, int colourCount);

    virtual float Apply(float a, float b, float ra, float rb) const = 0;

    int ColourCount() const { return m_N; }

protected:
    // trunc((v / range + 1) / 2 * N): the operand's colour step.
    int Step(float v, float range) const;

    int m_N;
};

// (a + b) / (|ra| + |rb|); 0 when both ranges are 0
class BinOpAdd : public BinOp {
public:
    using BinOp::BinOp;
    float Apply(float a, float b, float ra, float rb) const override;
};

// a b / (|ra| |rb|); 0 when a range is 0
class BinOpMult : public BinOp {
public:
    using BinOp::BinOp;
    float Apply(float a, float b, float ra, float rb) const override;
};

// |(a, b)| / |(ra, rb)|; 0 when both ranges are 0
class BinOpSqrt : public BinOp {
public:
    using BinOp::BinOp;
    float Apply(float a, float b, float ra, float rb) const override;
};

// (p AND q) / N
class BinOpAnd : public BinOp {
public:
    using BinOp::BinOp;
    float Apply(float a, float b, float ra, float rb) const override;
};

// (p OR q) / N / 2
class BinOpOr : public BinOp {
public:
    using BinOp::BinOp;
    float Apply(float a, float b, float ra, float rb) const override;
};

// (p XOR q) / N / 2
class BinOpXOr : public BinOp {
public:
    using BinOp::BinOp;
    float Apply(float a, float b, float ra, float rb) const override;
};

// (p mod q) / N / 2; p / N in whole steps when q is 0
class BinOpMod : public BinOp {
public:
    using BinOp::BinOp;
    float Apply(float a, float b, float ra, float rb) const override;
};

// min(a / ra, b / rb)
class BinOpMin : public BinOp {
public:
    using BinOp::BinOp;
    float Apply(float a, float b, float ra, float rb) const override;
};

// atan2(a, b) / pi when neither is 0, else 0; ranges ignored
class BinOpAtan : public BinOp {
public:
    using BinOp::BinOp;
    float Apply(float a, float b, float ra, float rb) const override;
};
