#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "characters/Player.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "support/TempDataDir.h"
#include "ui/Cutscene.h"
#include "ui/MainMenu.h"

namespace {

constexpr int kUp = 357;
constexpr int kDown = 359;
constexpr int kAttack = '.';
constexpr int kEscape = 27;

// A campaign of three short levels: the first ends at once, the second once the players
// walk on, the third never.
class ContinueTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings& settings = Settings::instance();
        settings.clear();
        settings.setInt("player1Up", kUp);
        settings.setInt("player1Down", kDown);
        settings.setInt("player1Attack", kAttack);
        dir.write("levels/level1.dat", "end 0 level2.dat\n");
        dir.write("levels/level2.dat", "end 5 level3.dat\n");
        dir.write("levels/level3.dat", "end 100000\n");
        dir.write("state/controls-shown", "");  // not a new installation
    }

    // The game as the player starts it again: a fresh process with the same state folder.
    void restart() {
        Game::resetInstance();
        game().usePlayerFiles("", "", state);
        game().showMainMenu();
    }
    Game& game() { return Game::instance(); }
    void press(int key) {
        game().keyboard(key, 0, true, 0);
        game().keyboard(key, 0, false, 0);
    }
    void tickUntilLevel(const std::string& level) {
        for (int i = 0; i < 500 && game().getLevelName() != level; ++i) {
            for (Player* player : {game().getPlayer1(), game().getPlayer2()}) {
                if (player != nullptr) player->position.x += 1.0;
            }
            game().update(20);
        }
        ASSERT_EQ(game().getLevelName(), level);
    }
    bool offersContinue() {
        Menu* menu = game().getMenu();
        return dynamic_cast<MainMenu*>(menu) != nullptr &&
               dynamic_cast<const MainMenu::ContinueItem*>(&menu->item(0)) != nullptr;
    }
    std::string progressFile() const {
        std::ifstream in(state + "/progress");
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    TempDataDir dir;
    const std::string state = dir.path() + "/state";
};

TEST_F(ContinueTest, ContinueStartsTheFurthestLevelWithTheSamePlayers) {
    restart();
    EXPECT_FALSE(offersContinue());
    press(kDown);
    press(kAttack);  // 2 Players
    tickUntilLevel("level3.dat");

    restart();
    ASSERT_TRUE(offersContinue());
    EXPECT_EQ(game().getMenu()->itemCount(), 6u);
    press(kAttack);
    EXPECT_EQ(game().getLevelName(), "level3.dat");
    EXPECT_NE(game().getPlayer1(), nullptr);
    EXPECT_NE(game().getPlayer2(), nullptr);

    // A one-player campaign keeps a record of its own, and Continue takes the one played last.
    press(kEscape);
    press(kDown);
    press(kDown);
    // Each menu here opens within half a second of an attack press, so takes attack only
    // after that.
    const auto waitOutAttackGuard = [this] {
        for (int tick = 0; tick < 25; ++tick) game().update(20);
    };
    waitOutAttackGuard();
    press(kAttack);  // the pause menu's third entry: exit to the main menu
    ASSERT_NE(dynamic_cast<MainMenu*>(game().getMenu()), nullptr);
    waitOutAttackGuard();
    press(kDown);
    press(kAttack);  // 1 Player, below Continue
    game().update(20);
    ASSERT_EQ(game().getLevelName(), "level2.dat");
    EXPECT_EQ(progressFile(),
              "# The furthest level each campaign reached; Continue on the main menu starts there.\n"
              "one 2 level2.dat\ntwo 3 level3.dat\nlast one\n");
    restart();
    press(kAttack);
    EXPECT_EQ(game().getLevelName(), "level2.dat");
    EXPECT_NE(game().getPlayer1(), nullptr);
    EXPECT_EQ(game().getPlayer2(), nullptr);
}

TEST_F(ContinueTest, ADamagedProgressFileIsReportedAndSetAside) {
    dir.write("state/progress", "one 3 ../../etc/passwd\nlast one\n");
    testing::internal::CaptureStdout();
    restart();
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("The progress file " + state + "/progress is damaged (line 1: "), std::string::npos) << said;
    EXPECT_NE(game().getMenuNote().find("damaged"), std::string::npos);
    EXPECT_FALSE(offersContinue());
    EXPECT_TRUE(std::filesystem::exists(state + "/progress.damaged"));
    EXPECT_FALSE(std::filesystem::exists(state + "/progress"));

    // The next campaign starts a fresh file.
    press(kAttack);
    tickUntilLevel("level2.dat");
    EXPECT_NE(progressFile().find("one 2 level2.dat"), std::string::npos);
}

}  // namespace
