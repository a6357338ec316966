#include "render/BossLook.h"

#include <GL/gl.h>

#include <array>
#include <cmath>

#include "render/EyePosition.h"
#include "render/ShapeLists.h"

namespace {

constexpr double Pi = 3.14159265358979323846;

// The crown, in head radii: a band round the top of the head and a ring of points
// standing on it.
constexpr double BandRadius = 0.82;
constexpr double BandBottom = 0.5;
constexpr double BandHeight = 0.32;
constexpr int Points = 5;
constexpr double PointHeight = 0.55;
constexpr double PointHalfAngle = Pi / Points * 0.9;
const double Gold[4] = {0.96, 0.76, 0.12, 1.0};
const double DarkGold[4] = {0.72, 0.5, 0.05, 1.0};

// The eyes: balls of EyeSize head radii, half sunk into the face, EyeApart radians
// apart, raised EyeRise and turned EyeForward of the way from the eye towards the way
// the boss faces.
constexpr double EyeSize = 0.24;
constexpr double EyeApart = 0.62;
constexpr double EyeRise = 0.25;
constexpr double EyeForward = 0.45;
const double Red[4] = {0.9, 0.05, 0.05, 1.0};

using Vec = std::array<double, 3>;

// Where the eye lies, seen from the current origin, flattened onto the floor's plane of
// the head's frame; (1, 0, 0) when it cannot be told.
Vec towardsEyeAcross() {
    const EyePosition eye = EyePosition::current();
    if (!eye.point) {
        return {1.0, 0.0, 0.0};
    }
    const double x = eye.at[0];
    const double z = eye.at[2];
    const double length = std::sqrt(x * x + z * z);
    if (length < 1e-9) {
        return {1.0, 0.0, 0.0};
    }
    return {x / length, 0.0, z / length};
}

void crown(float r) {
    const double bottom = BandBottom * r;
    const double top = bottom + BandHeight * r;
    const double radius = BandRadius * r;
    glColor4dv(DarkGold);
    glPushMatrix();
    glTranslated(0.0, bottom, 0.0);
    glRotated(-90.0, 1.0, 0.0, 0.0);
    glScaled(radius, radius, top - bottom);
    ShapeLists::instance().drawClosedTube();
    glPopMatrix();

    // Flat points standing on the band's top edge, seen from both sides.
    const GLboolean culling = glIsEnabled(GL_CULL_FACE);
    glDisable(GL_CULL_FACE);
    glColor4dv(Gold);
    glBegin(GL_TRIANGLES);
    for (int point = 0; point < Points; ++point) {
        const double middle = 2.0 * Pi * point / Points;
        const double from = middle - PointHalfAngle;
        const double to = middle + PointHalfAngle;
        glVertex3d(std::cos(from) * radius, top, std::sin(from) * radius);
        glVertex3d(std::cos(to) * radius, top, std::sin(to) * radius);
        glVertex3d(std::cos(middle) * radius, top + PointHeight * r, std::sin(middle) * radius);
    }
    glEnd();
    if (culling) {
        glEnable(GL_CULL_FACE);
    }
}

void eyes(float r) {
    const Vec front = towardsEyeAcross();
    // Part of the way round from the front towards the way the boss faces (+x).
    double x = front[0] * (1.0 - EyeForward) + EyeForward;
    double z = front[2] * (1.0 - EyeForward);
    const double length = std::sqrt(x * x + z * z);
    x = length > 1e-9 ? x / length : 1.0;
    z = length > 1e-9 ? z / length : 0.0;
    const double middle = std::atan2(z, x);
    glColor4dv(Red);
    for (const double side : {-1.0, 1.0}) {
        const double angle = middle + side * EyeApart / 2.0;
        const double across = std::sqrt(1.0 - EyeRise * EyeRise);
        glPushMatrix();
        glTranslated(std::cos(angle) * across * r, EyeRise * r, std::sin(angle) * across * r);
        ShapeLists::instance().drawBall(EyeSize * r);
        glPopMatrix();
    }
}

}  // namespace

void BossLook::draw(float headRadius) const {
    if (redEyes) {
        eyes(headRadius);
    }
    if (crown) {
        ::crown(headRadius);
    }
}
