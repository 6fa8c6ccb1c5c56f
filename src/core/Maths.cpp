#include "core/Maths.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

// The classic argument reductions and minimax polynomials of the freely distributable
// libraries of the 1990s (sin, cos, atan, exp, log), with a double-double logarithm for pow
// and an integer reduction of huge sine arguments. std::sqrt is IEEE-exact on every target.
namespace maths {
namespace {

using u64 = std::uint64_t;

constexpr double kInf = std::numeric_limits<double>::infinity();

u64 Bits(double x) {
    return std::bit_cast<u64>(x);
}
double FromBits(u64 b) {
    return std::bit_cast<double>(b);
}
double Abs(double x) {
    return FromBits(Bits(x) & ~(u64{1} << 63));
}
bool SignBit(double x) {
    return (Bits(x) >> 63) != 0;
}
int BiasedExponent(double x) {
    return static_cast<int>((Bits(x) >> 52) & 0x7ff);
}
double Pow2(int k) { // 2^k for k in [-1022, 1023]
    return FromBits(static_cast<u64>(k + 1023) << 52);
}

// Double-double arithmetic: hi + lo with |lo| <= ulp(hi) / 2.
struct DD {
    double hi, lo;
};

DD TwoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}
DD FastTwoSum(double a, double b) { // |a| >= |b|
    const double s = a + b;
    return {s, b - (s - a)};
}
DD Split(double a) {                  // a = hi + lo, each with at most 26 significant bits
    const double t = 134217729.0 * a; // 2^27 + 1
    const double hi = t - (t - a);
    return {hi, a - hi};
}
DD TwoProd(double a, double b) { // exact product; |a|, |b| < 2^995
    const double p = a * b;
    const DD x = Split(a), y = Split(b);
    return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}
DD Add(DD a, DD b) {
    const DD s = TwoSum(a.hi, b.hi);
    return FastTwoSum(s.hi, s.lo + a.lo + b.lo);
}
DD Mul(DD a, DD b) {
    const DD p = TwoProd(a.hi, b.hi);
    return FastTwoSum(p.hi, p.lo + a.hi * b.lo + a.lo * b.hi);
}

// pi/2 in three 33-bit parts and their tails, so that n times each part is exact for
// n < 2^20.
constexpr double kInvPio2 = 0x1.45f306dc9c883p-1;
constexpr double kPio2_1 = 0x1.921fb544p+0, kPio2_1t = 0x1.0b4611a626331p-34;
constexpr double kPio2_2 = 0x1.0b4611a6p-34, kPio2_2t = 0x1.3198a2e037073p-69;
constexpr double kPio2_3 = 0x1.3198a2ep-69, kPio2_3t = 0x1.b839a252049c1p-104;
constexpr double kPio2Hi = 0x1.921fb54442d18p+0, kPio2Lo = 0x1.1a62633145c07p-54;
constexpr double kPio4 = 0x1.921fb54442d18p-1;
constexpr double kPi = 0x1.921fb54442d18p+1, kPiLo = 0x1.1a62633145c07p-53;
constexpr double kMediumLimit = 786432.0; // 1.5 * 2^19: n stays below 2^19

// 2/pi: 1280 bits after the binary point, enough for the largest double.
constexpr u64 kTwoOverPi[] = {
    0xa2f9836e4e441529, 0xfc2757d1f534ddc0, 0xdb6295993c439041, 0xfe5163abdebbc561,
    0xb7246e3a424dd2e0, 0x06492eea09d1921c, 0xfe1deb1cb129a73e, 0xe88235f52ebb4484,
    0xe99c7026b45f7e41, 0x3991d639835339f4, 0x9c845f8bbdf9283b, 0x1ff897ffde05980f,
    0xef2f118b5a0a6d1f, 0x6d367ecf27cb09b7, 0x4f463f669e5fea2d, 0x7527bac7ebe5f17b,
    0x3d0739f78a5292ea, 0x6bfb5fb11f8d5d08, 0x56033046fc7b6bab, 0xf0cfbc209af4361d};
constexpr int kTwoOverPiWords = sizeof kTwoOverPi / sizeof kTwoOverPi[0];

// Bits p + 1 .. p + 64 of 2/pi after the binary point (zeros before it).
u64 TwoOverPiBits(int p) {
    if (p <= -64)
        return 0;
    if (p < 0)
        return kTwoOverPi[0] >> -p;
    const int w = p / 64, b = p % 64;
    const u64 next = w + 1 < kTwoOverPiWords ? kTwoOverPi[w + 1] : 0;
    return b == 0 ? kTwoOverPi[w] : (kTwoOverPi[w] << b) | (next >> (64 - b));
}

void Mul64(u64 a, u64 b, u64& hi, u64& lo) {
    const u64 a0 = a & 0xffffffffu, a1 = a >> 32, b0 = b & 0xffffffffu, b1 = b >> 32;
    const u64 p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const u64 mid = (p00 >> 32) + (p01 & 0xffffffffu) + (p10 & 0xffffffffu);
    lo = (mid << 32) | (p00 & 0xffffffffu);
    hi = p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32);
}

// |x| >= kMediumLimit, finite: x = m 2^e with an integer m, and x 2/pi mod 4 is m times 192
// bits of 2/pi taken from the right place, mod 2^192 (the bits before add multiples of 4).
int RemPio2Large(double x, DD& y) {
    const int e = BiasedExponent(x) - 1075;
    const u64 m = (Bits(x) & ((u64{1} << 52) - 1)) | (u64{1} << 52);
    const int s = e - 2; // the top two bits of the product are the quadrant
    const u64 f0 = TwoOverPiBits(s), f1 = TwoOverPiBits(s + 64), f2 = TwoOverPiBits(s + 128);
    u64 h0, l0, h1, l1, h2, l2;
    Mul64(m, f0, h0, l0);
    Mul64(m, f1, h1, l1);
    Mul64(m, f2, h2, l2);
    static_cast<void>(h0);
    u64 q[3];
    q[2] = l2;
    q[1] = h2 + l1;
    const u64 carry = q[1] < l1 ? 1 : 0;
    q[0] = h1 + l0 + carry;
    int n = static_cast<int>(q[0] >> 62);
    // The fraction of a quarter turn, as a signed 192-bit number in [-1/2, 1/2).
    q[0] = (q[0] << 2) | (q[1] >> 62);
    q[1] = (q[1] << 2) | (q[2] >> 62);
    q[2] <<= 2;
    bool negative = false;
    if (q[0] >> 63) {
        ++n;
        negative = true;
        q[0] = ~q[0];
        q[1] = ~q[1];
        q[2] = ~q[2] + 1;
        if (q[2] == 0 && ++q[1] == 0)
            ++q[0];
    }
    int lead = 0;
    while (lead < 3 && q[lead] == 0)
        ++lead;
    if (lead == 3) {
        y = {0.0, 0.0};
    } else {
        const int shift = lead * 64 + std::countl_zero(q[lead]);
        const int ws = shift / 64, bs = shift % 64;
        const auto word = [&](int i) { return i < 3 ? q[i] : u64{0}; };
        const auto shifted = [&](int i) {
            return bs ? (word(i + ws) << bs) | (word(i + ws + 1) >> (64 - bs)) : word(i + ws);
        };
        const u64 t1 = shifted(0), t2 = shifted(1);
        const double hi = static_cast<double>(t1 >> 11) * Pow2(-53 - shift);
        const double lo = (static_cast<double>(t1 & 0x7ff) * 0x1p64 + static_cast<double>(t2)) *
                          Pow2(-128 - shift);
        const DD f = FastTwoSum(hi, lo);
        const DD p = TwoProd(f.hi, kPio2Hi);
        y = FastTwoSum(p.hi, p.lo + f.hi * kPio2Lo + f.lo * kPio2Hi);
    }
    if (negative)
        y = {-y.hi, -y.lo};
    if (SignBit(x)) {
        y = {-y.hi, -y.lo};
        n = -n;
    }
    return n;
}

// x = n pi/2 + y.hi + y.lo with |y| about pi/4 at most; x finite.
int RemPio2(double x, DD& y) {
    const double ax = Abs(x);
    if (!(ax < kMediumLimit))
        return RemPio2Large(x, y);
    const int n = static_cast<int>(ax * kInvPio2 + 0.5);
    const double fn = n;
    double r = ax - fn * kPio2_1; // exact
    double w = fn * kPio2_1t;
    double y0 = r - w;
    // Cancellation: go on with the next 33 bits of pi/2 while the result lost many bits.
    const int ex = BiasedExponent(ax);
    if (ex - BiasedExponent(y0) > 16) {
        double t = r;
        w = fn * kPio2_2;
        r = t - w;
        w = fn * kPio2_2t - ((t - r) - w);
        y0 = r - w;
        if (ex - BiasedExponent(y0) > 49) {
            t = r;
            w = fn * kPio2_3;
            r = t - w;
            w = fn * kPio2_3t - ((t - r) - w);
            y0 = r - w;
        }
    }
    const double y1 = (r - y0) - w;
    if (SignBit(x)) {
        y = {-y0, -y1};
        return -n;
    }
    y = {y0, y1};
    return n;
}

// sin(x + y) and cos(x + y) for |x| <= pi/4 (a little more is fine), |y| <= ulp(x) / 2.
constexpr double kS1 = -1.66666666666666324348e-01, kS2 = 8.33333333332248946124e-03,
                 kS3 = -1.98412698298579493134e-04, kS4 = 2.75573137070700676789e-06,
                 kS5 = -2.50507602534068634195e-08, kS6 = 1.58969099521155010221e-10;
constexpr double kC1 = 4.16666666666666019037e-02, kC2 = -1.38888888888741095749e-03,
                 kC3 = 2.48015872894767294178e-05, kC4 = -2.75573143513906633035e-07,
                 kC5 = 2.08757232129817482790e-09, kC6 = -1.13596475577881948265e-11;

double KernelSin(double x, double y) {
    const double z = x * x, v = z * x;
    const double r = kS2 + z * (kS3 + z * (kS4 + z * (kS5 + z * kS6)));
    if (y == 0.0)
        return x + v * (kS1 + z * r);
    return x - ((z * (0.5 * y - v * r) - y) - v * kS1);
}

double KernelCos(double x, double y) {
    const double z = x * x;
    const double r = z * (kC1 + z * (kC2 + z * (kC3 + z * (kC4 + z * (kC5 + z * kC6)))));
    const double ax = Abs(x);
    if (ax < 0.3)
        return 1.0 - (0.5 * z - (z * r - x * y));
    // 1 - z/2 loses bits near 1 when x is large: take x^2/32 (or 0.28125) out exactly first.
    const double qx =
        ax > 0.78125 ? 0.28125 : FromBits((Bits(ax) - (u64{2} << 52)) & ~u64{0xffffffff});
    const double hz = 0.5 * z - qx, a = 1.0 - qx;
    return a - (hz - (z * r - x * y));
}

// atan on [0, 7/16] after the classic reduction; atan(0.5), atan(1), atan(1.5), pi/2 split.
constexpr double kAtanHi[] = {0x1.dac670561bb4fp-2, 0x1.921fb54442d18p-1, 0x1.f730bd281f69bp-1,
                              0x1.921fb54442d18p+0};
constexpr double kAtanLo[] = {0x1.a2b7f222f65e2p-56, 0x1.1a62633145c07p-55, 0x1.007887af0cbbdp-56,
                              0x1.1a62633145c07p-54};
constexpr double kAT[] = {
    3.33333333333329318027e-01,  -1.99999999998764832476e-01, 1.42857142725034663711e-01,
    -1.11111104054623557880e-01, 9.09088713343650656196e-02,  -7.69187620504482999495e-02,
    6.66107313738753120669e-02,  -5.83357013379057348645e-02, 4.97687799461593236017e-02,
    -3.65315727442169155270e-02, 1.62858201153657823623e-02};

// exp: x = k ln2 + r, |r| <= ln2 / 2; ln2 in a 32-bit part (k times it is exact) and a tail.
constexpr double kLn2Hi = 0x1.62e42feep-1, kLn2Lo = 0x1.a39ef35793c76p-33;
constexpr double kInvLn2 = 0x1.71547652b82fep+0;
constexpr double kExpOver = 7.09782712893383973096e+02;   // above: overflow
constexpr double kExpUnder = -7.45133219101941108420e+02; // below: 0
constexpr double kP1 = 1.66666666666666019037e-01, kP2 = -2.77777777770155933842e-03,
                 kP3 = 6.61375632143793436117e-05, kP4 = -1.65339022054652515390e-06,
                 kP5 = 4.13813679705723846039e-08;

// exp(x + xx) for |xx| much smaller than ulp(x).
double ExpOf(double x, double xx) {
    if (x != x)
        return x + x;
    if (x > kExpOver)
        return kInf;
    if (x < kExpUnder)
        return 0.0;
    const double ax = Abs(x);
    if (ax < 0x1p-28)
        return 1.0 + x;
    int k = 0;
    double hi = x, lo = -xx;
    if (ax > 0.5 * kLn2Hi) {
        k = static_cast<int>(kInvLn2 * x + (SignBit(x) ? -0.5 : 0.5));
        const double t = k;
        hi = x - t * kLn2Hi; // exact
        lo = t * kLn2Lo - xx;
    }
    const double r = hi - lo;
    const double t = r * r;
    const double c = r - t * (kP1 + t * (kP2 + t * (kP3 + t * (kP4 + t * kP5))));
    const double y = 1.0 - ((lo - (r * c) / (2.0 - c)) - hi);
    if (k >= -1021 && k <= 1023)
        return FromBits(Bits(y) + (static_cast<u64>(static_cast<std::int64_t>(k)) << 52));
    if (k > 1023) // y 2^1024 may still be finite
        return FromBits(Bits(y) + (u64{1023} << 52)) * 2.0;
    // Subnormal results: one rounding, in the final multiplication.
    return FromBits(Bits(y) + (static_cast<u64>(static_cast<std::int64_t>(k + 1000)) << 52)) *
           0x1p-1000;
}

// x > 0 finite: x = 2^k (1 + f) with 1 + f in [sqrt(2)/2, sqrt(2)).
void Normalize(double x, int& k, double& f, std::uint32_t& hx) {
    k = 0;
    if (x < 0x1p-1022) {
        k = -54;
        x *= 0x1p54;
    }
    hx = static_cast<std::uint32_t>(Bits(x) >> 32);
    k += static_cast<int>(hx >> 20) - 1023;
    hx &= 0x000fffffu;
    const std::uint32_t i = (hx + 0x95f64u) & 0x100000u;
    const u64 top = static_cast<u64>(hx | (i ^ 0x3ff00000u));
    f = FromBits((top << 32) | (Bits(x) & 0xffffffffu)) - 1.0;
    k += static_cast<int>(i >> 20);
}

constexpr double kLg1 = 6.666666666666735130e-01, kLg2 = 3.999999999940941908e-01,
                 kLg3 = 2.857142874366239149e-01, kLg4 = 2.222219843214978396e-01,
                 kLg5 = 1.818357216161805012e-01, kLg6 = 1.531383769920937332e-01,
                 kLg7 = 1.479819860511658591e-01;

// log x as a double-double good to about 2^-70, for x > 0 finite. With s = f / (2 + f),
// log(1 + f) = 2s + 2s^3/3 + 2s^5/5 + ...: the first two terms in double-double.
DD LogDD(double x) {
    int k;
    double f;
    std::uint32_t hx;
    Normalize(x, k, f, hx);
    const DD d = TwoSum(2.0, f);
    const double sh = f / d.hi;
    const DD p = TwoProd(sh, d.hi);
    const double sl = (((f - p.hi) - p.lo) - sh * d.lo) / d.hi;
    const DD s = FastTwoSum(sh, sl);
    const double z = s.hi * s.hi;
    double q = 2.0 / 25.0;
    for (int j = 23; j >= 5; j -= 2)
        q = 2.0 / j + z * q;
    const double tail = s.hi * z * z * q;
    DD sq = TwoProd(s.hi, s.hi);
    sq = FastTwoSum(sq.hi, sq.lo + 2.0 * s.hi * s.lo);
    const DD cube = Mul(Mul(sq, s), DD{0x1.5555555555555p-1, 0x1.5555555555555p-55});
    DD logm = Add(DD{2.0 * s.hi, 2.0 * s.lo}, cube);
    logm = FastTwoSum(logm.hi, logm.lo + tail);
    const double dk = k;
    const DD sum = TwoSum(dk * kLn2Hi, logm.hi);
    return FastTwoSum(sum.hi, sum.lo + logm.lo + dk * kLn2Lo);
}

// y is an integer (0) odd (1) or not an integer (2); y finite.
int IntegerKind(double y) {
    const double ay = Abs(y);
    if (ay >= 0x1p53)
        return 0;
    const auto n = static_cast<std::int64_t>(ay);
    if (static_cast<double>(n) != ay)
        return 2;
    return static_cast<int>(n & 1);
}

} // namespace

double Sin(double x) {
    if (Abs(x) < 0x1p-27) // sin x rounds to x (and keeps the sign of 0)
        return x;
    if (Abs(x) <= kPio4)
        return KernelSin(x, 0.0);
    if (!(Abs(x) < kInf))
        return x - x;
    DD y;
    switch (RemPio2(x, y) & 3) {
    case 0:
        return KernelSin(y.hi, y.lo);
    case 1:
        return KernelCos(y.hi, y.lo);
    case 2:
        return -KernelSin(y.hi, y.lo);
    default:
        return -KernelCos(y.hi, y.lo);
    }
}

double Cos(double x) {
    if (Abs(x) <= kPio4)
        return KernelCos(x, 0.0);
    if (!(Abs(x) < kInf))
        return x - x;
    DD y;
    switch (RemPio2(x, y) & 3) {
    case 0:
        return KernelCos(y.hi, y.lo);
    case 1:
        return -KernelSin(y.hi, y.lo);
    case 2:
        return -KernelCos(y.hi, y.lo);
    default:
        return KernelSin(y.hi, y.lo);
    }
}

double Atan(double x) {
    double ax = Abs(x);
    if (!(ax < 0x1p66)) {
        if (x != x)
            return x + x;
        return SignBit(x) ? -(kAtanHi[3] + kAtanLo[3]) : kAtanHi[3] + kAtanLo[3];
    }
    int id = -1;
    if (ax < 0.4375) {
        if (ax < 0x1p-27)
            return x;
    } else if (ax < 1.1875) {
        if (ax < 0.6875) {
            id = 0;
            ax = (2.0 * ax - 1.0) / (2.0 + ax);
        } else {
            id = 1;
            ax = (ax - 1.0) / (ax + 1.0);
        }
    } else if (ax < 2.4375) {
        id = 2;
        ax = (ax - 1.5) / (1.0 + 1.5 * ax);
    } else {
        id = 3;
        ax = -1.0 / ax;
    }
    const double z = ax * ax, w = z * z;
    const double s1 =
        z * (kAT[0] + w * (kAT[2] + w * (kAT[4] + w * (kAT[6] + w * (kAT[8] + w * kAT[10])))));
    const double s2 = w * (kAT[1] + w * (kAT[3] + w * (kAT[5] + w * (kAT[7] + w * kAT[9]))));
    if (id < 0)
        return x - x * (s1 + s2);
    const double r = kAtanHi[id] - ((ax * (s1 + s2) - kAtanLo[id]) - ax);
    return SignBit(x) ? -r : r;
}

double Atan2(double y, double x) {
    if (x != x || y != y)
        return x + y;
    if (x == 1.0)
        return Atan(y);
    const int m = (SignBit(y) ? 1 : 0) | (SignBit(x) ? 2 : 0);
    if (y == 0.0) {
        if (m < 2)
            return y; // +-0
        return m == 2 ? kPi : -kPi;
    }
    if (x == 0.0)
        return SignBit(y) ? -kPio2Hi : kPio2Hi;
    const bool xInf = Abs(x) == kInf, yInf = Abs(y) == kInf;
    if (xInf) {
        if (yInf) {
            static constexpr double kCorner[] = {kPio4, -kPio4, 3.0 * kPio4, -3.0 * kPio4};
            return kCorner[m];
        }
        static constexpr double kEdge[] = {0.0, -0.0, kPi, -kPi};
        return kEdge[m];
    }
    if (yInf)
        return SignBit(y) ? -kPio2Hi : kPio2Hi;
    const int k = BiasedExponent(y) - BiasedExponent(x);
    double z;
    if (k > 60)
        z = kPio2Hi + 0.5 * kPiLo;
    else if (m >= 2 && k < -60)
        z = 0.0; // |y/x| tiny and x < 0
    else
        z = Atan(Abs(y / x));
    switch (m) {
    case 0:
        return z;
    case 1:
        return -z;
    case 2:
        return kPi - (z - kPiLo);
    default:
        return (z - kPiLo) - kPi;
    }
}

double Hypot(double x, double y) {
    x = Abs(x);
    y = Abs(y);
    if (x == kInf || y == kInf)
        return kInf;
    if (x != x || y != y)
        return x + y;
    if (x < y) {
        const double t = x;
        x = y;
        y = t;
    }
    if (y == 0.0 || x > y * 0x1p60)
        return x + y;
    // Keep the squares and their exact error terms away from overflow and underflow.
    double scale = 1.0;
    if (x > 0x1p500) {
        x *= 0x1p-600;
        y *= 0x1p-600;
        scale = 0x1p600;
    } else if (x < 0x1p-450) {
        x *= 0x1p600;
        y *= 0x1p600;
        scale = 0x1p-600;
    }
    const DD xx = TwoProd(x, x), yy = TwoProd(y, y);
    const DD s = TwoSum(xx.hi, yy.hi);
    const double lo = s.lo + xx.lo + yy.lo;
    // One Newton step on the rounded root, with its square taken exactly.
    const double r = std::sqrt(s.hi);
    const DD rr = TwoProd(r, r);
    const double d = ((s.hi - rr.hi) - rr.lo) + lo;
    return (r + d / (2.0 * r)) * scale;
}

double Exp(double x) {
    return ExpOf(x, 0.0);
}

double Log(double x) {
    if (x != x || x == kInf)
        return x + x;
    if (x == 0.0)
        return -kInf;
    if (x < 0.0)
        return std::numeric_limits<double>::quiet_NaN();
    int k;
    double f;
    std::uint32_t hx;
    Normalize(x, k, f, hx);
    const double dk = k;
    if ((0x000fffffu & (2 + hx)) < 3) { // |f| < 2^-20
        if (f == 0.0)
            return dk * kLn2Hi + dk * kLn2Lo;
        const double r = f * f * (0.5 - 0.33333333333333333 * f);
        return k == 0 ? f - r : dk * kLn2Hi - ((r - dk * kLn2Lo) - f);
    }
    const double s = f / (2.0 + f);
    const double z = s * s, w = z * z;
    const double t1 = w * (kLg2 + w * (kLg4 + w * kLg6));
    const double t2 = z * (kLg1 + w * (kLg3 + w * (kLg5 + w * kLg7)));
    const double r = t2 + t1;
    const bool far = (static_cast<int>(hx) - 0x6147a) > 0 && (0x6b851 - static_cast<int>(hx)) > 0;
    if (far) { // 1 + f far from 1: f^2/2 taken apart for accuracy
        const double hfsq = 0.5 * f * f;
        if (k == 0)
            return f - (hfsq - s * (hfsq + r));
        return dk * kLn2Hi - ((hfsq - (s * (hfsq + r) + dk * kLn2Lo)) - f);
    }
    if (k == 0)
        return f - s * (f - r);
    return dk * kLn2Hi - ((s * (f - r) - dk * kLn2Lo) - f);
}

double Pow(double x, double y) {
    if (y == 0.0 || x == 1.0)
        return 1.0;
    if (x != x || y != y)
        return x + y;
    const double ax = Abs(x), ay = Abs(y);
    if (ay == kInf) {
        if (ax == 1.0)
            return 1.0;
        return (ax > 1.0) == (y > 0.0) ? kInf : 0.0;
    }
    const int kind = IntegerKind(y);
    const bool negate = SignBit(x) && kind == 1;
    if (ax == 0.0 || ax == kInf) {
        // 0^y and inf^y: 0 or inf by the sign of y (and of the base's log), signed by odd y.
        const double r = (ax == 0.0) == (y < 0.0) ? kInf : 0.0;
        return negate ? -r : r;
    }
    if (SignBit(x) && kind == 2)
        return std::numeric_limits<double>::quiet_NaN();
    const DD l = LogDD(ax);
    double r;
    if (ay > 0x1p900) {
        r = (l.hi > 0.0) == (y > 0.0) ? kInf : 0.0;
    } else {
        DD p = TwoProd(y, l.hi);
        p = FastTwoSum(p.hi, p.lo + y * l.lo);
        if (Abs(p.hi) > 1000.0)
            r = p.hi > 0.0 ? kInf : 0.0;
        else
            r = ExpOf(p.hi, p.lo);
    }
    return negate ? -r : r;
}

double Sinh(double x) {
    const double ax = Abs(x);
    if (!(ax < kInf))
        return x + x;
    double r;
    if (ax < 1.0) {
        // Odd Taylor series to x^19 / 19!: no cancellation near 0.
        static constexpr double kInvFact[] = {1.0 / 6.0,
                                              1.0 / 120.0,
                                              1.0 / 5040.0,
                                              1.0 / 362880.0,
                                              1.0 / 39916800.0,
                                              1.0 / 6227020800.0,
                                              1.0 / 1307674368000.0,
                                              1.0 / 355687428096000.0,
                                              1.0 / 121645100408832000.0};
        const double z = ax * ax;
        double t = 0.0;
        for (int i = 8; i >= 0; --i)
            t = kInvFact[i] + z * t;
        r = ax + ax * z * t;
    } else if (ax < 22.0) {
        const double e = Exp(ax);
        r = 0.5 * e - 0.5 / e;
    } else if (ax < kExpOver) {
        r = 0.5 * Exp(ax);
    } else {
        const double w = Exp(0.5 * ax); // e^x / 2 = (e^(x/2) / 2) e^(x/2), finite up to here
        r = (0.5 * w) * w;
    }
    return SignBit(x) ? -r : r;
}

double Cosh(double x) {
    const double ax = Abs(x);
    if (!(ax < kInf))
        return ax + ax;
    if (ax < 0x1p-27)
        return 1.0;
    if (ax < 22.0) {
        const double e = Exp(ax);
        return 0.5 * e + 0.5 / e;
    }
    if (ax < kExpOver)
        return 0.5 * Exp(ax);
    const double w = Exp(0.5 * ax);
    return (0.5 * w) * w;
}

} // namespace maths
