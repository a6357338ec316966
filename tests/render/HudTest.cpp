#include <gtest/gtest.h>

#include <GL/gl.h>

#include <climits>
#include <cstdlib>
#include <tuple>

#include "core/Game.h"
#include "core/Settings.h"
#include "render/CreditsHUD.h"
#include "render/Font.h"
#include "render/HealthBar.h"
#include "render/TextureManager.h"
#include "support/GlWindow.h"
#include "support/PictureFile.h"
#include "support/TempDataDir.h"

// The head-up display: its numbers, and what reaches a real window with textures the
// test paints itself.
namespace {

using picture::Rgba;

const Rgba kClear{0, 0, 0, 0};
const Rgba kInk{20, 20, 20, 255};
const Rgba kWhite{255, 255, 255, 255};

std::vector<int> digitsOf(int value, unsigned count) {
    std::vector<int> digits;
    for (const Font::DigitCell& cell : Font::digitCells(0.0f, value, count)) digits.push_back(cell.digit);
    return digits;
}

// Row 3 of the font's 16 x 16 grid holds the digits; each lights only its upper left
// quarter, in a colour of its own, so a misplaced, wrong or flipped glyph shows. Every
// other printable glyph lights its upper left quarter in ink.
Rgba digitColour(int digit) { return {static_cast<unsigned char>(digit * 25), 200, 100, 255}; }
Rgba fontPixel(int x, int y) {
    const int code = (y / 16) * 16 + x / 16;
    if (code <= ' ' || code > '~' || x % 16 >= 8 || y % 16 >= 8) return kClear;
    return code >= '0' && code <= '9' ? digitColour(code - '0') : kInk;
}

// A frame whose thick edge runs along the image's top row.
Rgba penPixel(int x, int y) { return y < 6 || y >= 34 || x < 2 || x >= 62 ? kInk : kClear; }

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
        const std::pair<const char*, Rgba> icons[] = {{"arm", {200, 120, 0, 255}}, {"leg", {0, 150, 0, 255}},
                                                      {"head", {230, 200, 150, 255}}, {"bazooka", {120, 0, 160, 255}}};
        for (const auto& [name, colour] : icons) load(name, picture::solidPng(8, 8, colour));
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    void load(const std::string& name, const std::vector<unsigned char>& bytes) {
        dir.writeBytes("images/" + name + ".png", bytes.data(), bytes.size());
        TextureManager::instance().load(name + ".png", name);
    }

    // Checks the colour at a point in normalised device coordinates of the back buffer.
    void expectAt(double x, double y, const Rgba& expected) const {
        const std::vector<unsigned char> pixels = window.readBackBuffer();
        const int px = static_cast<int>((x + 1.0) / 2.0 * window.width());
        const int py = static_cast<int>((y + 1.0) / 2.0 * window.height());
        const unsigned char* pixel = &pixels[(static_cast<std::size_t>(py) * window.width() + px) * 3];
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(pixel[i], expected[i], 3) << "channel " << i << " at " << x << "," << y;
    }

    // Pixels of about `colour` inside a rectangle in normalised device coordinates.
    int countIn(double left, double right, double bottom, double top, const Rgba& colour) const {
        const std::vector<unsigned char> pixels = window.readBackBuffer();
        int count = 0;
        for (int py = static_cast<int>((bottom + 1.0) / 2.0 * window.height());
             py < static_cast<int>((top + 1.0) / 2.0 * window.height()); ++py) {
            for (int px = static_cast<int>((left + 1.0) / 2.0 * window.width());
                 px < static_cast<int>((right + 1.0) / 2.0 * window.width()); ++px) {
                const unsigned char* p = &pixels[(static_cast<std::size_t>(py) * window.width() + px) * 3];
                count += std::abs(p[0] - colour[0]) < 30 && std::abs(p[1] - colour[1]) < 30 &&
                         std::abs(p[2] - colour[2]) < 30;
            }
        }
        return count;
    }

    // The colour under the credits digit's place, for the arcade setting given.
    void drawCredits(int arcade) {
        Settings::instance().setInt("arcade", arcade);
        Game::instance();
        load("credits", picture::solidPng(8, 8, {40, 160, 40, 255}));
        CreditsHUD().draw();
    }

    TempDataDir dir;
    GlWindow window;
};

}  // namespace

TEST(FontLayout, OneToTenDigitsLowestKeptNegativesByMagnitude) {
    EXPECT_EQ(digitsOf(0, Font::AllDigits), (std::vector<int>{0}));
    EXPECT_EQ(digitsOf(INT_MAX, Font::AllDigits).size(), 10u);
    EXPECT_EQ(digitsOf(12345, 2), (std::vector<int>{5, 4}));
    EXPECT_EQ(digitsOf(-42, Font::AllDigits), (std::vector<int>{2, 4}));
    EXPECT_EQ(digitsOf(INT_MIN, 1), (std::vector<int>{8}));
}

TEST(HealthBarTrail, DrainsATenthPerSecondAfterALossAndFollowsARiseAtOnce) {
    HealthBar bar;
    bar.setHealth(0.5f);
    for (int i = 0; i < 249; ++i) bar.update(20);
    EXPECT_NEAR(bar.shownHealth, 0.502f, 1e-4);
    bar.update(20);
    EXPECT_NEAR(bar.shownHealth, 0.5f, 1e-4);
    bar.update(20);
    bar.update(20);
    EXPECT_FLOAT_EQ(bar.shownHealth, 0.5f);
    bar.setHealth(0.8f);
    bar.update(20);
    EXPECT_FLOAT_EQ(bar.shownHealth, 0.8f);
}

TEST(HealthBarGeometry, ValuesOutsideZeroToOneClampAndUnknownSlotsDrawCentred) {
    const HealthBar::Rect frame = HealthBar::frameOf(HealthBar::CentreSlot), odd = HealthBar::frameOf(-4);
    EXPECT_EQ(std::tie(odd.left, odd.right, odd.bottom, odd.top),
              std::tie(frame.left, frame.right, frame.bottom, frame.top));
    const HealthBar::Rect below = HealthBar::barOf(frame, -0.4);
    EXPECT_DOUBLE_EQ(below.right, below.left);
    EXPECT_DOUBLE_EQ(HealthBar::barOf(frame, 3.0).right, HealthBar::barOf(frame, 1.0).right);
}

TEST(CreditsPrompts, WholeSecondsCountingDownToOneAndInsertCoinFlashesAfterAStartWithoutCredit) {
    EXPECT_EQ(CreditsHUD::continueSeconds(9001), 10);
    EXPECT_EQ(CreditsHUD::continueSeconds(1000), 2);
    EXPECT_EQ(CreditsHUD::continueSeconds(0), 0);
    EXPECT_EQ(CreditsHUD::continueSeconds(-40), 0);

    CreditsHUD hud;
    CreditsHUD::View view;
    view.placeOpen = {false, true};
    EXPECT_EQ(hud.promptAt(0, view), CreditsHUD::Prompt::None) << "a player in the game needs no prompt";
    EXPECT_EQ(hud.promptAt(1, view), CreditsHUD::Prompt::InsertCoin);
    hud.startWithoutCredit(0);
    EXPECT_EQ(hud.promptAt(0, view), CreditsHUD::Prompt::InsertCoin);
    view.credits = 1;
    EXPECT_EQ(hud.promptAt(0, view), CreditsHUD::Prompt::None) << "a credit came: nothing to insert";
    EXPECT_EQ(hud.promptAt(1, view), CreditsHUD::Prompt::Join);
    view.credits = 0;
    hud.update(static_cast<int>(CreditsHUD::FlashSeconds * 1000) + 20);
    EXPECT_EQ(hud.promptAt(0, view), CreditsHUD::Prompt::None) << "the flash never ends";
}

TEST_F(HudOnScreen, DrawNumberPlacesDigitsWithLeadingZeros) {
    Font::drawNumber(-0.5f, 0.0f, 7, 3);
    Font::drawNumber(-0.5f, -0.5f, 907, Font::AllDigits);
    window.saveScreenshot("hud-font");
    const double quarter = Font::CellSize / 4;
    for (int cell = 0; cell < 3; ++cell) {
        const double left = -0.5 + cell * Font::CellSize;
        expectAt(left + quarter, 3 * quarter, digitColour(cell == 2 ? 7 : 0));
        expectAt(left + quarter, -0.5 + 3 * quarter, digitColour(cell == 1 ? 0 : cell == 0 ? 9 : 7));
        expectAt(left + 3 * quarter, quarter, kWhite);
    }
}

TEST_F(HudOnScreen, OnePlayerBarCentredWithTrailAndIcons) {
    HealthBar bar;
    bar.slot = HealthBar::CentreSlot;
    bar.colour = Color(0.0, 0.0, 0.8, 1.0);
    bar.health = 0.4f;
    bar.shownHealth = 0.7f;
    bar.icons = HealthBar::ArmIcon | HealthBar::LegIcon | HealthBar::HeadIcon | HealthBar::BazookaIcon;
    bar.draw();
    window.saveScreenshot("hud-healthbar-one-player");

    const HealthBar::Rect frame = HealthBar::frameOf(HealthBar::CentreSlot);
    const HealthBar::Rect health = HealthBar::barOf(frame, 0.4), trail = HealthBar::barOf(frame, 0.7);
    const double midY = (health.bottom + health.top) / 2.0;
    expectAt(health.left + 0.05, midY, {0, 0, 204, 255});
    expectAt((health.right + trail.right) / 2.0, midY, {128, 128, 128, 255});
    expectAt(trail.right + 0.05, midY, kWhite);
    // The pen's thick top-row edge lands along the frame's bottom.
    expectAt(-0.5, frame.bottom + 0.03, kInk);
    expectAt(-0.5, frame.top - 0.03, kWhite);
    expectAt(0.0, frame.bottom - 0.15, {200, 120, 0, 255});
}

// Each bar is its one-player picture halved into its side of the upper half.
TEST_F(HudOnScreen, TwoPlayerBarsShareTheUpperHalf) {
    HealthBar left, right;
    left.slot = HealthBar::LeftSlot;
    left.colour = Color(0.0, 0.0, 0.3, 1.0);
    left.health = 0.3f;
    left.shownHealth = 0.55f;
    left.icons = HealthBar::ArmIcon | HealthBar::HeadIcon;
    right.slot = HealthBar::RightSlot;
    right.colour = Color(0.3, 0.0, 0.0, 1.0);
    right.icons = HealthBar::LegIcon | HealthBar::BazookaIcon;
    left.draw();
    right.draw();
    window.saveScreenshot("hud-healthbar-two-players");

    const auto expectInSlot = [this](int slot, double x, double y, const Rgba& colour) {
        expectAt((slot == HealthBar::LeftSlot ? -0.5 : 0.5) + 0.5 * x, 0.5 * (y + 1.0), colour);
    };
    const HealthBar::Rect frame = HealthBar::frameOf(HealthBar::LeftSlot), full = HealthBar::barOf(frame, 1.0);
    for (int slot : {HealthBar::LeftSlot, HealthBar::RightSlot}) {
        expectInSlot(slot, frame.left + 0.06, frame.bottom + 0.02, kInk);
        expectInSlot(slot, frame.left - 0.06, frame.bottom + 0.02, kWhite);
    }
    const double midY = (full.bottom + full.top) / 2.0;
    expectInSlot(HealthBar::RightSlot, full.right - 0.05, midY, {77, 0, 0, 255});
    expectInSlot(HealthBar::LeftSlot, HealthBar::barOf(frame, 0.5).right, midY, {128, 128, 128, 255});
}

// Twelve credits read "12"; the free place asks for Start, the taken one shows nothing;
// with no credit the free place asks for a coin instead, in its own box.
TEST_F(HudOnScreen, ArcadePromptsShowEveryCreditDigitAndWhatAFreePlaceNeeds) {
    drawCredits(1);
    expectAt(0.0, -0.84, {40, 160, 40, 255});
    const Rgba joinColour{200, 60, 60, 255};
    load("join", picture::solidPng(8, 8, joinColour));
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    CreditsHUD hud;
    CreditsHUD::View view;
    view.credits = 12;
    view.placeOpen = {false, true};
    hud.drawView(view);
    window.saveScreenshot("hud-credits");
    const double top = -0.9 + Font::CellSize;
    const double pitch = Font::CellSize * Font::TextPitch;
    expectAt(0.25 + 0.02, top - 0.02, digitColour(1));
    expectAt(0.25 + pitch + 0.02, top - 0.02, digitColour(2));
    expectAt(0.7, -0.84, joinColour);
    expectAt(-0.7, -0.84, kWhite);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    view.credits = 0;
    view.placeOpen = {true, false};
    hud.drawView(view);
    window.saveScreenshot("hud-insert-coin");
    const Rgba coinRed{219, 26, 31, 255};
    EXPECT_GT(countIn(-0.95, -0.45, -0.92, -0.76, coinRed), 40) << "no INSERT COIN at the free place";
    EXPECT_EQ(countIn(0.45, 0.95, -0.92, -0.76, coinRed), 0);
    expectAt(0.7, -0.84, kWhite);
}

TEST_F(HudOnScreen, HomeGamesShowNoCredits) {
    drawCredits(0);
    expectAt(0.0, -0.84, kWhite);
}
