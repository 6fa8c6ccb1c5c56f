#pragma once

// The elementary functions of the engine, computed here from IEEE +, -, *, / and sqrt only:
// the C libraries of Linux and Windows round sin, exp, pow... differently in the last bit,
// and a seed must replay the same scenes on both. Built with -ffp-contract=off, the same
// compiler gives the same bits everywhere.
//
// Double results are within 1 ulp of the exact value (atan2 1.5, sinh and cosh 2); sin and
// cos reduce any finite argument exactly. Special values (NaN, infinities, signed zeros)
// follow the C library's rules. Each float overload rounds the double function's result once.
namespace maths {

double Sin(double x);
double Cos(double x);
double Atan(double x);
double Atan2(double y, double x); // in [-pi, pi]
double Hypot(double x, double y); // sqrt(x^2 + y^2) without overflow or underflow
double Exp(double x);
double Log(double x); // natural logarithm
double Pow(double x, double y);
double Sinh(double x);
double Cosh(double x);

inline float Sin(float x) {
    return static_cast<float>(Sin(static_cast<double>(x)));
}
inline float Cos(float x) {
    return static_cast<float>(Cos(static_cast<double>(x)));
}
inline float Atan(float x) {
    return static_cast<float>(Atan(static_cast<double>(x)));
}
inline float Atan2(float y, float x) {
    return static_cast<float>(Atan2(static_cast<double>(y), static_cast<double>(x)));
}
inline float Hypot(float x, float y) {
    return static_cast<float>(Hypot(static_cast<double>(x), static_cast<double>(y)));
}
inline float Exp(float x) {
    return static_cast<float>(Exp(static_cast<double>(x)));
}
inline float Log(float x) {
    return static_cast<float>(Log(static_cast<double>(x)));
}
inline float Pow(float x, float y) {
    return static_cast<float>(Pow(static_cast<double>(x), static_cast<double>(y)));
}
inline float Sinh(float x) {
    return static_cast<float>(Sinh(static_cast<double>(x)));
}
inline float Cosh(float x) {
    return static_cast<float>(Cosh(static_cast<double>(x)));
}

} // namespace maths
