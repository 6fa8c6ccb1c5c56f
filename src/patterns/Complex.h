#pragma once

// Single-precision complex numbers for the fractal pattern. Every operation rounds to float
// as it goes, so a seed gives the same picture wherever it runs.
struct Complex {
    float re = 0.0f;
    float im = 0.0f;

    float Norm() const { return re * re + im * im; } // squared magnitude
    bool IsZero() const { return re == 0.0f && im == 0.0f; }
};

inline Complex operator+(Complex a, Complex b) {
    return {a.re + b.re, a.im + b.im};
}

inline Complex operator-(Complex a, Complex b) {
    return {a.re - b.re, a.im - b.im};
}

inline Complex Square(Complex a) {
    return {a.re * a.re - a.im * a.im, 2.0f * a.re * a.im};
}

Complex Sin(Complex w);  // sin x cosh y + i cos x sinh y
Complex Cos(Complex w);  // cos x cosh y - i sin x sinh y
Complex Log(Complex w);  // ln|w| + i arg w, arg in (-pi, pi]; w must not be 0
Complex Sqrt(Complex w); // principal root: re >= 0, and im >= 0 on the negative real axis
