#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "characters/Player.h"
#include "core/Game.h"
#include "core/MainLoop.h"
#include "core/Settings.h"
#include "render/CreditsHUD.h"
#include "render/HealthBar.h"
#include "support/TempDataDir.h"
#include "ui/Cutscene.h"
#include "ui/DeathMenu.h"
#include "ui/MainMenu.h"
#include "ui/PauseMenu.h"

namespace {

constexpr int kAttack1 = 'k';
constexpr int kDrop1 = 'l';
constexpr int kStart1 = '1';
constexpr int kUp1 = 357;
constexpr int kDown1 = 359;

class GameControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings& settings = Settings::instance();
        settings.clear();
        settings.setInt("player1Up", kUp1);
        settings.setInt("player1Down", kDown1);
        settings.setInt("player1Attack", kAttack1);
        settings.setInt("player1Drop", kDrop1);
        settings.setInt("player1Start", kStart1);
    }

    Game& game() { return Game::instance(); }
    void press(int key) {
        game().keyboard(key, 0, true, 0);
        game().keyboard(key, 0, false, 0);
    }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) game().update(20);
    }
    // Kills every player and ticks until the game notices they are all gone.
    void killPlayersAndWait() {
        for (Player* p : {game().getPlayer1(), game().getPlayer2()}) {
            if (p != nullptr) p->takeDamage(10000.0f);
        }
        for (int i = 0; i < 2000 && game().getMenu() == nullptr && game().getContinueCountdown() == 0; ++i) {
            tick();
        }
    }

    TempDataDir dir;
};

TEST_F(GameControllerTest, OneAndTwoPlayerGamesFromTheMenu) {
    game().showMainMenu();
    press(13);
    EXPECT_EQ(game().getMenu(), nullptr);
    EXPECT_FALSE(game().isBackgroundShown());
    ASSERT_NE(game().getPlayer1(), nullptr);
    EXPECT_EQ(game().getPlayer2(), nullptr);
    EXPECT_EQ(game().getPlayer1()->position, Vec3(0, 0, 0));
    EXPECT_EQ(game().getPlayer1()->getHealthBar()->slot, 2);
    EXPECT_EQ(game().getLevelName(), "level1.dat");
    int huds = 0;
    for (const auto& object : game().getWorld()) {
        if (dynamic_cast<CreditsHUD*>(object.get()) != nullptr) ++huds;
    }
    EXPECT_EQ(huds, 1);

    game().showMainMenu();
    press(kDown1);
    press(kAttack1);
    Player* first = game().getPlayer1();
    Player* second = game().getPlayer2();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->position, Vec3(-5, 0, 0));
    EXPECT_EQ(second->position, Vec3(5, 0, 0));
    EXPECT_EQ(first->getHealthBar()->slot, 0);
    EXPECT_EQ(second->getHealthBar()->slot, 1);
    EXPECT_EQ(first->getColor(), Color(0, 0, 0.3, 1));
    EXPECT_EQ(second->getColor(), Color(0.3, 0, 0, 1));
}

// With "online" on, "2 Players" waits for the other machine until Escape; a session that
// cannot start (another program holds the port) brings the menu back with its reason.
TEST_F(GameControllerTest, OnlineTwoPlayersWaitUntilEscapeOrTheSessionEnds) {
    const int squatter = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(squatter, reinterpret_cast<sockaddr*>(&address), length), 0);
    getsockname(squatter, reinterpret_cast<sockaddr*>(&address), &length);
    Settings::instance().setInt("online", 1);
    Settings::instance().setInt("onlinePort", ntohs(address.sin_port));
    game().showMainMenu();
    press(kDown1);
    press(kAttack1);
    EXPECT_EQ(game().getOnlineSession(), nullptr);
    EXPECT_NE(dynamic_cast<MainMenu*>(game().getMenu()), nullptr);
    EXPECT_NE(game().getMenuNote().find("in use"), std::string::npos) << game().getMenuNote();

    close(squatter);
    tick(Game::MenuAttackGuard / 20);  // the menu came back as attack was pressed
    press(kDown1);
    press(kAttack1);
    EXPECT_TRUE(game().isWaitingForPeer());
    EXPECT_EQ(game().getBackgroundTexture(), "loading");
    tick(10);
    press(kAttack1);
    EXPECT_TRUE(game().isWaitingForPeer()) << "no game before the other player comes";
    press(27);
    EXPECT_EQ(game().getOnlineSession(), nullptr);
    EXPECT_NE(dynamic_cast<MainMenu*>(game().getMenu()), nullptr);
}

TEST_F(GameControllerTest, MainMenuSelectionWrapsBothWays) {
    game().showMainMenu();
    Menu* menu = game().getMenu();
    ASSERT_NE(dynamic_cast<MainMenu*>(menu), nullptr);
    EXPECT_EQ(game().getBackgroundTexture(), "mainmenu_bk");
    EXPECT_FALSE(game().isAttract());
    press(kUp1);
    EXPECT_EQ(menu->selectedIndex(), menu->itemCount() - 1);
    press(kDown1);
    EXPECT_EQ(menu->selectedIndex(), 0u);
}

TEST_F(GameControllerTest, AKeyBoundToAControlActsThroughItsControl) {
    Settings::instance().setInt("player1Start", 32);  // space is Start here
    Settings::instance().setInt("player1Attack", 13);  // and return is Attack
    game().showMainMenu();
    press(32);
    EXPECT_NE(game().getMenu(), nullptr) << "Start does nothing in a menu, even bound to space";
    press(13);
    EXPECT_EQ(game().getMenu(), nullptr);
    EXPECT_NE(game().getPlayer1(), nullptr);
}

TEST_F(GameControllerTest, PauseMenuOpensResumesAndRestarts) {
    game().startGame(true, false, "level1.dat");
    Player* before = game().getPlayer1();
    press(27);
    EXPECT_NE(dynamic_cast<PauseMenu*>(game().getMenu()), nullptr);
    EXPECT_EQ(game().getBackgroundTexture(), "pausemenu_bk");
    press(27);
    EXPECT_EQ(game().getMenu(), nullptr);
    EXPECT_FALSE(game().isBackgroundShown());
    EXPECT_EQ(game().getPlayer1(), before);

    press(27);
    press(kDown1);
    press(13);  // restart level
    EXPECT_EQ(game().getMenu(), nullptr);
    EXPECT_FALSE(game().isBackgroundShown());
    EXPECT_NE(game().getPlayer1(), nullptr);
    EXPECT_EQ(game().getPlayer2(), nullptr);

    press(27);
    press(kDown1);
    press(kDown1);
    press(13);  // exit to main menu, the third entry as recorded games have it
    EXPECT_NE(dynamic_cast<MainMenu*>(game().getMenu()), nullptr);
}

TEST_F(GameControllerTest, DeathMenuWhenEveryPlayerIsGone) {
    game().startGame(true, true, "level1.dat");
    killPlayersAndWait();
    EXPECT_NE(dynamic_cast<DeathMenu*>(game().getMenu()), nullptr);
    EXPECT_EQ(game().getBackgroundTexture(), "deathmenu_bk");
    press(27);
    EXPECT_NE(dynamic_cast<DeathMenu*>(game().getMenu()), nullptr) << "escape does nothing here";
    press(13);  // restart
    EXPECT_EQ(game().getMenu(), nullptr);
    EXPECT_NE(game().getPlayer1(), nullptr);
    EXPECT_NE(game().getPlayer2(), nullptr);
}

// Mashing attack as the last player falls must not choose in the death menu before it
// is seen; the menus opened in quiet elsewhere in this file take attack at once.
TEST_F(GameControllerTest, AMenuOpenedMidAttackTakesAttackOnlyAfterHalfASecond) {
    game().startGame(true, false, "level1.dat");
    game().getPlayer1()->takeDamage(10000.0f);
    for (int i = 0; i < 2000 && game().getMenu() == nullptr; ++i) {
        press(kAttack1);
        tick();
    }
    ASSERT_NE(dynamic_cast<DeathMenu*>(game().getMenu()), nullptr);
    press(kAttack1);
    tick(Game::MenuAttackGuard / 20 - 2);
    press(kAttack1);
    EXPECT_NE(dynamic_cast<DeathMenu*>(game().getMenu()), nullptr) << "attack chose unseen";
    tick(2);
    press(kAttack1);
    EXPECT_EQ(game().getMenu(), nullptr) << "attack never chose the restart";
    EXPECT_NE(game().getPlayer1(), nullptr);
}

TEST_F(GameControllerTest, WorldStandsStillWhileAMenuIsOpen) {
    game().startGame(true, false, "level1.dat");
    press(27);
    const unsigned before = game().getMenu()->elapsedMilliseconds();
    game().getPlayer1()->takeDamage(10000.0f);
    tick(5);
    EXPECT_EQ(game().getMenu()->elapsedMilliseconds(), before + 100);
    EXPECT_NE(dynamic_cast<PauseMenu*>(game().getMenu()), nullptr);
}

TEST_F(GameControllerTest, MainMenuEscapeQuitsCleanly) {
    EXPECT_EXIT(
        {
            game().showMainMenu();
            press(27);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(GameControllerTest, FunctionKeyTwelveTogglesJoystickDebugging) {
    game().startGame(true, false, "level1.dat");
    testing::internal::CaptureStdout();
    press(268);
    game().joystickButton(0, 3, true);
    press(268);
    game().joystickButton(0, 3, true);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Joystick debugging enabled.\n"
              "Joystick Button [joystick=0, button=3, down=true]\n"
              "Joystick debugging disabled.\n");
}

TEST_F(GameControllerTest, GameModeAsksForThirtyTwoBitsPerPixel) {
    EXPECT_EQ(MainLoop::gameModeString(800, 600), "800x600:32");
    EXPECT_EQ(MainLoop::gameModeString(640, 480), "640x480:32");
}

class ArcadeTest : public GameControllerTest {
protected:
    void SetUp() override {
        GameControllerTest::SetUp();
        Settings::instance().setInt("arcade", 1);
    }
};

// Nobody can press on in the attract loop, so its show never waits for a key.
TEST_F(ArcadeTest, MainMenuBecomesTheAttractLoopWhoseShowWaitsForNoKey) {
    dir.write("cutscenes/arcade.dat", "frame waits -1 100 0 frame then 20 0 2");
    game().showMainMenu();
    EXPECT_TRUE(game().isAttract());
    EXPECT_EQ(game().getMenu(), nullptr);
    tick(6);
    EXPECT_EQ(Cutscene::instance().currentFrame().texture, "then") << "a negative hold counts as 0 here";
}

// Start without a credit starts nothing, but the place whose Start it was asks for a
// coin, in the attract loop and in a game alike.
TEST_F(ArcadeTest, StartWithoutCreditsStartsNothingButAsksForACoin) {
    game().showMainMenu();
    press(kStart1);
    EXPECT_TRUE(game().isAttract());
    EXPECT_EQ(game().getPlayer1(), nullptr);

    game().startGame(true, false, "level1.dat");
    CreditsHUD* hud = nullptr;
    for (const auto& object : game().getWorld()) {
        if (auto* found = dynamic_cast<CreditsHUD*>(object.get())) hud = found;
    }
    ASSERT_NE(hud, nullptr);
    CreditsHUD::View playing;
    playing.placeOpen = {false, true};
    EXPECT_EQ(hud->promptAt(0, playing), CreditsHUD::Prompt::None);
    press(kStart1);
    EXPECT_EQ(hud->promptAt(0, playing), CreditsHUD::Prompt::InsertCoin);
    EXPECT_EQ(game().getPlayer2(), nullptr);
}

TEST_F(ArcadeTest, EscapeOpensNoPauseMenu) {
    game().startGame(true, false, "level1.dat");
    press(27);
    EXPECT_EQ(game().getMenu(), nullptr);
}

TEST_F(ArcadeTest, OnePlayerKeepsTheLeftSlot) {
    game().startGame(false, true, "level1.dat");
    ASSERT_NE(game().getPlayer2(), nullptr);
    EXPECT_EQ(game().getPlayer1(), nullptr);
    EXPECT_EQ(game().getPlayer2()->getHealthBar()->slot, 1);
    EXPECT_EQ(game().getPlayer2()->getColor(), Color(0, 0, 0.3, 1));
}

TEST_F(ArcadeTest, ContinueCountdownRunsOutBackToTheAttractLoop) {
    game().startGame(true, false, "level1.dat");
    killPlayersAndWait();
    ASSERT_EQ(game().getContinueCountdown(), 20000);
    tick(999);
    EXPECT_EQ(game().getContinueCountdown(), 20);
    EXPECT_FALSE(game().isAttract());
    tick();
    EXPECT_EQ(game().getContinueCountdown(), 0);
    EXPECT_TRUE(game().isAttract());
}

TEST_F(ArcadeTest, AttackResetsTheCountdownAndDropsShortenIt) {
    game().startGame(true, false, "level1.dat");
    killPlayersAndWait();
    tick(100);
    EXPECT_EQ(game().getContinueCountdown(), 18000);
    press(kAttack1);
    EXPECT_EQ(game().getContinueCountdown(), 20000);
    for (int i = 0; i < 19; ++i) press(kDrop1);
    EXPECT_EQ(game().getContinueCountdown(), 1000);
    EXPECT_FALSE(game().isAttract());
    press(kDrop1);
    EXPECT_EQ(game().getContinueCountdown(), 0);
    EXPECT_TRUE(game().isAttract());
}

}  // namespace
