#include <gtest/gtest.h>

#include <cmath>

#include "characters/Player.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "support/TempDataDir.h"

namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings& settings = Settings::instance();
        settings.clear();
        settings.setInt("player1Left", 356);
        settings.setInt("player1Right", 358);
        settings.setInt("player1Up", 357);
        settings.setInt("player1Down", 359);
        settings.setInt("player2Left", 356);  // the same key as player 1's left
        settings.setFloat("moveSpeed", 0.5f);
        settings.setFloat("joystickDeadSpace", 0.5f);
        settings.setInt("joystickPlayer1", 0);
        settings.setInt("joystickPlayer1xAxis", 0);
        settings.setInt("joystickPlayer1yAxis", 1);
        game().startGame(true, true, "level1.dat");
    }
    Game& game() { return Game::instance(); }
    Vec3 step(Player* player) {
        const Vec3 before = player->position;
        game().applyMovement();
        return player->position - before;
    }

    TempDataDir dir;
};

TEST_F(ControlsTest, DiagonalKeysWalkAtMoveSpeed) {
    game().keyboard(356, 0, true, 0);
    game().keyboard(357, 0, true, 0);
    const Vec3 moved = step(game().getPlayer1());
    EXPECT_NEAR(moved.length(), 0.5, 1e-9);
    EXPECT_LT(moved.x, 0);
    EXPECT_LT(moved.z, 0);
    game().keyboard(358, 0, true, 0);  // right cancels left
    const Vec3 up = step(game().getPlayer1());
    EXPECT_NEAR(up.x, 0.0, 1e-12);
    EXPECT_NEAR(up.z, -0.5, 1e-12);
}

TEST_F(ControlsTest, OnlyTheFirstControlOfASharedKeyIsHeld) {
    game().keyboard(356, 0, true, 0);
    EXPECT_TRUE(game().isControlHeld(0));
    EXPECT_FALSE(game().isControlHeld(8));
    EXPECT_EQ(step(game().getPlayer2()), Vec3(0, 0, 0));
    game().keyboard(356, 0, false, 0);
    EXPECT_FALSE(game().isControlHeld(0));
}

TEST_F(ControlsTest, StickDeadZoneAndHalfSpeed) {
    game().joystickAxis(0, 0, 0.3);
    EXPECT_EQ(step(game().getPlayer1()), Vec3(0, 0, 0));
    game().joystickAxis(0, 0, 0.6);
    const Vec3 moved = step(game().getPlayer1());
    EXPECT_NEAR(moved.x, 0.6 * 0.5, 1e-6);
    EXPECT_TRUE(game().stickDirection(0, 1));
    EXPECT_FALSE(game().stickDirection(0, 3));
    game().joystickAxis(0, 1, -0.9);
    EXPECT_TRUE(game().stickDirection(0, 0));
    EXPECT_FALSE(game().stickDirection(0, 1));
    game().joystickAxis(3, 0, -1.0);  // nobody's joystick
    EXPECT_TRUE(game().stickDirection(0, 0));
}

TEST_F(ControlsTest, FlippedAxesInvert) {
    Game::resetInstance();
    Settings::instance().setInt("joystickPlayer1xAxisFlip", 1);
    game().startGame(true, false, "level1.dat");
    game().joystickAxis(0, 0, 0.8);
    EXPECT_TRUE(game().stickDirection(0, 3));
}

}  // namespace
