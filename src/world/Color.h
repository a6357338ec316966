#pragma once

// RGBA, each 0..1, handed to OpenGL whole (glColor4dv(&color.r)).
struct Color {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    double a = 1.0;

    constexpr Color() = default;
    constexpr Color(double r_, double g_, double b_, double a_ = 1.0) : r(r_), g(g_), b(b_), a(a_) {}
    const double* data() const { return &r; }
    constexpr bool operator==(const Color& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};
