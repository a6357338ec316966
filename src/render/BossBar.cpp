#include "render/BossBar.h"

#include <GL/gl.h>

#include <algorithm>

#include "render/Font.h"
#include "render/OverlayMatrices.h"
#include "render/TextureManager.h"
#include "world/Color.h"

namespace {

// The whole width of the screen but a margin, and below the arcade prompts, which end
// at y = -0.9 (their pulse may reach a pixel further for a moment).
constexpr BossBar::Rect Frame{-0.9, 0.9, -0.995, -0.905};
constexpr double Inset = 0.008;
// A boss's health falls in big steps; the trail catches up within a second or two.
constexpr double TrailDrainPerMs = 0.0004;
constexpr float NameSize = 0.092f;

const Color FrameColour{0.08, 0.06, 0.1, 0.85};
const Color TrailColour{0.6, 0.6, 0.6, 1.0};
const Color HealthColour{0.82, 0.08, 0.1, 1.0};
const Color NameColour{1.0, 1.0, 1.0, 1.0};
const Color NameRim{0.08, 0.06, 0.1, 1.0};

void rect(const BossBar::Rect& r, const Color& colour) {
    glColor4dv(colour.data());
    glBegin(GL_QUADS);
    glVertex2d(r.left, r.bottom);
    glVertex2d(r.right, r.bottom);
    glVertex2d(r.right, r.top);
    glVertex2d(r.left, r.top);
    glEnd();
}

}  // namespace

BossBar::Rect BossBar::frame() { return Frame; }

BossBar::Rect BossBar::fill(double value) {
    const double left = Frame.left + Inset;
    const double length = Frame.right - Inset - left;
    return {left, left + length * std::clamp(value, 0.0, 1.0), Frame.bottom + Inset, Frame.top - Inset};
}

void BossBar::reset(float health) {
    current = health;
    shown = health;
}

void BossBar::update(float health, int milliseconds) {
    current = health;
    if (current < shown) {
        shown = std::max(current, shown - static_cast<float>(milliseconds * TrailDrainPerMs));
    } else {
        shown = current;
    }
}

void BossBar::draw(const std::string& name) const {
    const OverlayMatrices overlay;
    const GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST);
    glDisable(GL_DEPTH_TEST);
    TextureManager& textures = TextureManager::instance();
    textures.unbind();
    rect(Frame, FrameColour);
    rect(fill(shown), TrailColour);
    rect(fill(current), HealthColour);
    if (!name.empty()) {
        // Capitals: the font's small letters close up at this size ("m" reads as "n").
        std::string shown = name;
        std::transform(shown.begin(), shown.end(), shown.begin(),
                       [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
        const double inside = Frame.right - Frame.left - 4.0 * Inset;
        const float size = Font::sizeToFit(shown, static_cast<float>(inside), NameSize);
        const float width = Font::textWidth(shown, size);
        const float middle = static_cast<float>((Frame.bottom + Frame.top) / 2.0);
        Font::drawOutlinedText(-width / 2.0f, middle - size / 2.0f, shown, size, NameColour, NameRim);
        textures.unbind();
    }
    glColor4d(1.0, 1.0, 1.0, 1.0);
    if (depthTest) {
        glEnable(GL_DEPTH_TEST);
    }
}
