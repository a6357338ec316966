#include "render/Shadows.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "render/TextureManager.h"

namespace {

// A shadow is darkest in its middle and fades to nothing at its rim, through a ring at
// InnerRing of its size that still holds InnerShare of the middle's darkness.
constexpr int Sides = 20;
constexpr double InnerRing = 0.6;
constexpr double InnerShare = 0.75;
// Darkness of the middle of a shadow cast from the floor itself.
constexpr double FloorDarkness = 0.5;
// Height at which a shadow has shrunk to half its size.
constexpr double HalfSizeHeight = 6.0;
// Smallest share of the size a shadow keeps however high its caster flies.
constexpr double SmallestShare = 0.35;
constexpr double Pi = 3.14159265358979323846;

// How much of a footprint's size is left at `height` above the floor (1 on it); the
// darkness of its middle fades alike.
double scaleAt(double height) {
    const double above = std::max(0.0, height);
    return std::max(SmallestShare, HalfSizeHeight / (HalfSizeHeight + above));
}

}  // namespace

void Shadows::add(const Vec3& where, double halfWidth, double halfDepth) {
    const double scale = scaleAt(where.y);
    casters.push_back({where.x, where.z, halfWidth * scale, halfDepth * scale, FloorDarkness * scale});
}

void Shadows::draw() const {
    if (casters.empty()) {
        return;
    }
    TextureManager::instance().unbind();
    const GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST);
    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    const GLboolean blending = glIsEnabled(GL_BLEND);
    glEnable(GL_BLEND);

    glBegin(GL_TRIANGLES);
    for (const Caster& c : casters) {
        const auto corner = [&c](int side, double ring, double darkness) {
            const double angle = 2.0 * Pi * side / Sides;
            glColor4d(0.0, 0.0, 0.0, darkness);
            glVertex3d(c.x + std::cos(angle) * c.halfWidth * ring, 0.0, c.z + std::sin(angle) * c.halfDepth * ring);
        };
        const double inner = c.darkness * InnerShare;
        for (int side = 0; side < Sides; ++side) {
            corner(0, 0.0, c.darkness);
            corner(side, InnerRing, inner);
            corner(side + 1, InnerRing, inner);

            corner(side, InnerRing, inner);
            corner(side, 1.0, 0.0);
            corner(side + 1, 1.0, 0.0);
            corner(side, InnerRing, inner);
            corner(side + 1, 1.0, 0.0);
            corner(side + 1, InnerRing, inner);
        }
    }
    glEnd();

    if (!blending) {
        glDisable(GL_BLEND);
    }
    glDepthMask(depthWrites);
    if (depthTest) {
        glEnable(GL_DEPTH_TEST);
    }
    glColor4d(1.0, 1.0, 1.0, 1.0);
}
