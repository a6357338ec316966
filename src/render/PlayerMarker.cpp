#include "render/PlayerMarker.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "render/Font.h"
#include "render/TextureManager.h"

namespace {

constexpr int Sides = 32;
// Widths across the ring in world units, along x and along z: the coloured band and each
// white rim. The floor is seen at a slant that shrinks depth to under half, so both are
// wider along z to look as wide as along x.
constexpr double BandX = 0.38;
constexpr double BandZ = 0.7;
constexpr double RimX = 0.12;
constexpr double RimZ = 0.22;
// Share of white mixed into the player's brightened colour.
constexpr double Lighten = 0.3;
// The pointer: its half-width at the ring as an angle, and how far beyond the ring it
// reaches, as a share of the ring's width.
constexpr double PointerSpread = 0.6;
constexpr double PointerReach = 0.45;
// Height of the number's cell in world units.
constexpr float NumberSize = 1.6f;
constexpr double Pi = 3.14159265358979323846;

const Color White{1.0, 1.0, 1.0, 1.0};
const Color Ink{0.05, 0.05, 0.1, 1.0};

// The depth test off and no depth written while it lives: the marks lie on the floor
// with the splats and shadows, and the number must show over the crowd it stands in.
class FlatOnTop {
public:
    FlatOnTop() : depthTest(glIsEnabled(GL_DEPTH_TEST)) {
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        glDisable(GL_DEPTH_TEST);
        glDepthMask(GL_FALSE);
    }
    ~FlatOnTop() {
        glDepthMask(depthWrites);
        if (depthTest) {
            glEnable(GL_DEPTH_TEST);
        }
    }
    FlatOnTop(const FlatOnTop&) = delete;
    FlatOnTop& operator=(const FlatOnTop&) = delete;

private:
    GLboolean depthTest;
    GLboolean depthWrites = GL_TRUE;
};

// The band of the ring's ellipse between `inset` and `outset` in from its outer edge,
// each as (x, z) in world units.
void band(const Vec3& feet, double insetX, double insetZ, double outsetX, double outsetZ) {
    const double w = PlayerMarker::RingHalfWidth;
    const double d = PlayerMarker::RingHalfDepth;
    glBegin(GL_TRIANGLE_STRIP);
    for (int side = 0; side <= Sides; ++side) {
        const double angle = 2.0 * Pi * side / Sides;
        const double c = std::cos(angle);
        const double s = std::sin(angle);
        glVertex3d(feet.x + c * (w - insetX), 0.0, feet.z + s * (d - insetZ));
        glVertex3d(feet.x + c * (w - outsetX), 0.0, feet.z + s * (d - outsetZ));
    }
    glEnd();
}

// A triangle standing out from the ring towards `direction` (1 right, -1 left), its base
// across the band, grown by (`growX`, `growZ`) all round.
void pointer(const Vec3& feet, double direction, double growX, double growZ) {
    const double w = PlayerMarker::RingHalfWidth;
    const double d = PlayerMarker::RingHalfDepth;
    const double baseX = (w - RimX - BandX - growX) * std::cos(PointerSpread);
    const double baseZ = (d - RimZ) * std::sin(PointerSpread) + growZ;
    const double tip = w * (1.0 + PointerReach) + growX * 2.0;
    glBegin(GL_TRIANGLES);
    glVertex3d(feet.x + direction * baseX, 0.0, feet.z - baseZ);
    glVertex3d(feet.x + direction * baseX, 0.0, feet.z + baseZ);
    glVertex3d(feet.x + direction * tip, 0.0, feet.z);
    glEnd();
}

}  // namespace

Color PlayerMarker::ringColour(const Color& playerColour) {
    const double brightest = std::max({playerColour.r, playerColour.g, playerColour.b});
    const double scale = brightest > 0.0 ? 1.0 / brightest : 0.0;
    const auto channel = [scale](double value) { return value * scale * (1.0 - Lighten) + Lighten; };
    return {channel(playerColour.r), channel(playerColour.g), channel(playerColour.b), 1.0};
}

void PlayerMarker::drawRing(const Vec3& feet, const Color& playerColour, bool facingLeft) {
    const FlatOnTop flat;
    TextureManager::instance().unbind();
    const double direction = facingLeft ? -1.0 : 1.0;
    glColor4dv(White.data());
    band(feet, BandX + 2.0 * RimX, BandZ + 2.0 * RimZ, 0.0, 0.0);
    pointer(feet, direction, RimX, RimZ);
    glColor4dv(ringColour(playerColour).data());
    band(feet, BandX + RimX, BandZ + RimZ, RimX, RimZ);
    pointer(feet, direction, 0.0, 0.0);
    glColor4dv(White.data());
}

void PlayerMarker::drawNumber(const Vec3& top, int number, const Color& playerColour) {
    const FlatOnTop flat;
    const std::string text = std::to_string(number);
    const float width = Font::textWidth(text, NumberSize);
    glPushMatrix();
    glTranslated(top.x, top.y, top.z);
    Font::drawOutlinedText(-width / 2.0f, 0.0f, text, NumberSize, ringColour(playerColour), Ink);
    glPopMatrix();
    TextureManager::instance().unbind();
    glColor4dv(White.data());
}
