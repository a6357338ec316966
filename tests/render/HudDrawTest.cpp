#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdlib>

#include "core/Game.h"
#include "core/Settings.h"
#include "render/CreditsHUD.h"
#include "render/Font.h"
#include "render/HealthBar.h"
#include "render/TextureManager.h"
#include "support/GlWindow.h"
#include "support/PictureFile.h"
#include "support/TempDataDir.h"

// The head-up display in a real window with textures painted by the test.
namespace {

using picture::Rgba;

const Rgba kClear{0, 0, 0, 0};
const Rgba kInk{20, 20, 20, 255};

// A seven-segment face for the digits of the 16 x 16 font grid (row 3, columns 0..9).
bool segmentLit(int digit, int x, int y) {
    // Segments a..g as bits 0..6.
    static const int kSegments[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};
    const int on = kSegments[digit];
    const bool top = y >= 2 && y <= 3, middle = y >= 7 && y <= 8, bottom = y >= 12 && y <= 13;
    const bool left = x >= 3 && x <= 4, right = x >= 11 && x <= 12, across = x >= 3 && x <= 12;
    const bool upper = y >= 2 && y <= 8, lower = y >= 7 && y <= 13;
    return ((on & 0x01) && top && across) || ((on & 0x02) && right && upper) || ((on & 0x04) && right && lower) ||
           ((on & 0x08) && bottom && across) || ((on & 0x10) && left && lower) || ((on & 0x20) && left && upper) ||
           ((on & 0x40) && middle && across);
}

Rgba fontPixel(int x, int y) {
    const int col = x / 16;
    const int row = y / 16;
    if (row != 3 || col > 9) {
        return kClear;
    }
    return segmentLit(col, x % 16, y % 16) ? kInk : kClear;
}

// A frame with a thick edge along the image's top row and thin ones elsewhere.
Rgba penPixel(int x, int y) {
    const bool edge = y < 6 || y >= 34 || x < 2 || x >= 62;
    return edge ? kInk : kClear;
}

// A coloured disc with a white notch in the image's upper right corner.
picture::Painter iconPainter(Rgba colour) {
    return [colour](int x, int y) -> Rgba {
        if (x >= 22 && y < 10) return {255, 255, 255, 255};
        const int dx = x - 16, dy = y - 16;
        return dx * dx + dy * dy < 196 ? colour : kClear;
    };
}

class HudOnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        load("font", picture::png(256, 256, fontPixel));
        load("pen", picture::png(64, 36, penPixel));
        load("arm", picture::png(32, 32, iconPainter({200, 120, 0, 255})));
        load("leg", picture::png(32, 32, iconPainter({0, 150, 0, 255})));
        load("head", picture::png(32, 32, iconPainter({230, 200, 150, 255})));
        load("bazooka", picture::png(32, 32, iconPainter({120, 0, 160, 255})));
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    void load(const std::string& name, const std::vector<unsigned char>& bytes) {
        dir.writeBytes("images/" + name + ".png", bytes.data(), bytes.size());
        TextureManager::instance().load(name + ".png", name);
    }

    // A point in normalised device coordinates, read from the back buffer.
    Rgba at(double x, double y) const {
        const std::vector<unsigned char> pixels = window.readBackBuffer();
        const int px = static_cast<int>((x + 1.0) / 2.0 * window.width());
        const int py = static_cast<int>((y + 1.0) / 2.0 * window.height());
        const std::size_t i = (static_cast<std::size_t>(py) * window.width() + px) * 3;
        return {pixels[i], pixels[i + 1], pixels[i + 2], 255};
    }

    void save(const std::string& name) const {
        window.saveScreenshot(name);
    }

    TempDataDir dir;
    GlWindow window;
};

void expectColour(const Rgba& actual, const Rgba& expected) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(actual[i], expected[i], 3) << "channel " << i;
    }
}

// Screen point of a bar-space point for a half slot: scaled by a half, lifted into the
// upper half, moved into its side.
double halfSlotX(int slot, double x) { return (slot == HealthBar::LeftSlot ? -0.5 : 0.5) + 0.5 * x; }
double halfSlotY(double y) { return 0.5 * (y + 1.0); }

TEST_F(HudOnScreen, OnePlayerBarCentredWithTrailAndIcons) {
    HealthBar bar;
    bar.slot = HealthBar::CentreSlot;
    bar.colour = Color(0.0, 0.0, 0.8, 1.0);
    bar.health = 0.4f;
    bar.shownHealth = 0.7f;
    bar.icons = HealthBar::ArmIcon | HealthBar::LegIcon | HealthBar::HeadIcon | HealthBar::BazookaIcon;
    bar.draw();
    save("hud-healthbar-one-player");

    const HealthBar::Rect frame = HealthBar::frameOf(HealthBar::CentreSlot);
    const HealthBar::Rect health = HealthBar::barOf(frame, 0.4);
    const HealthBar::Rect trail = HealthBar::barOf(frame, 0.7);
    const double midY = (health.bottom + health.top) / 2.0;
    expectColour(at(health.left + 0.05, midY), {0, 0, 204, 255});
    expectColour(at((health.right + trail.right) / 2.0, midY), {128, 128, 128, 255});
    expectColour(at(trail.right + 0.05, midY), {255, 255, 255, 255});
    // The pen's thick top-row edge lands along the frame's bottom.
    expectColour(at(-0.5, frame.bottom + 0.03), kInk);
    expectColour(at(-0.5, frame.top - 0.03), {255, 255, 255, 255});
    // The arm icon sits centred 0.15 under the frame.
    expectColour(at(0.0, frame.bottom - 0.15), {200, 120, 0, 255});
}

TEST_F(HudOnScreen, TwoPlayerBarsShareTheUpperHalf) {
    HealthBar left;
    left.slot = HealthBar::LeftSlot;
    left.colour = Color(0.0, 0.0, 0.3, 1.0);
    left.health = 0.3f;
    left.shownHealth = 0.55f;
    left.icons = HealthBar::ArmIcon | HealthBar::HeadIcon;
    HealthBar right;
    right.slot = HealthBar::RightSlot;
    right.colour = Color(0.3, 0.0, 0.0, 1.0);
    right.icons = HealthBar::LegIcon | HealthBar::BazookaIcon;
    left.draw();
    right.draw();
    save("hud-healthbar-two-players");

    const HealthBar::Rect frame = HealthBar::frameOf(HealthBar::LeftSlot);
    const double edgeY = halfSlotY(frame.bottom + 0.02);
    for (int slot : {HealthBar::LeftSlot, HealthBar::RightSlot}) {
        expectColour(at(halfSlotX(slot, frame.left + 0.06), edgeY), kInk);
        expectColour(at(halfSlotX(slot, frame.right - 0.06), edgeY), kInk);
        // 0.45 of the screen width each: just outside the frame is the clear colour.
        expectColour(at(halfSlotX(slot, frame.left - 0.06), edgeY), {255, 255, 255, 255});
    }
    const HealthBar::Rect full = HealthBar::barOf(frame, 1.0);
    const double midY = halfSlotY((full.bottom + full.top) / 2.0);
    expectColour(at(halfSlotX(HealthBar::RightSlot, full.right - 0.05), midY), {77, 0, 0, 255});
    expectColour(at(halfSlotX(HealthBar::LeftSlot, HealthBar::barOf(frame, 0.5).right), midY),
                 {128, 128, 128, 255});
}

TEST_F(HudOnScreen, DigitsSitInTheirCells) {
    Font::drawNumber(-0.5f, 0.0f, 7, 3);
    Font::drawNumber(-0.5f, -0.5f, 1234567890, Font::AllDigits);
    save("hud-font");

    // A seven has its top bar and right side lit, and nothing at its lower left.
    const double cellLeft = -0.25;
    expectColour(at(cellLeft + 0.125 * 7.5 / 16, 0.125 * 13.5 / 16), kInk);
    expectColour(at(cellLeft + 0.125 * 11.5 / 16, 0.125 * 4.0 / 16), kInk);
    expectColour(at(cellLeft + 0.125 * 3.5 / 16, 0.125 * 4.0 / 16), {255, 255, 255, 255});
}

TEST_F(HudOnScreen, AttractPromptsDrawWithoutCreditsOrCountdown) {
    Settings::instance().setInt("arcade", 1);
    Game::instance();
    load("credits", picture::solidPng(8, 8, {40, 160, 40, 255}));
    CreditsHUD hud;
    hud.draw();
    save("hud-credits");
    expectColour(at(0.0, -0.84), {40, 160, 40, 255});
    // No credits: the join places stay empty.
    expectColour(at(-0.7, -0.84), {255, 255, 255, 255});
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(HudOnScreen, HomeGamesShowNoCredits) {
    Settings::instance().setInt("arcade", 0);
    Game::instance();
    load("credits", picture::solidPng(8, 8, {40, 160, 40, 255}));
    CreditsHUD hud;
    hud.draw();
    expectColour(at(0.0, -0.84), {255, 255, 255, 255});
}

}  // namespace
