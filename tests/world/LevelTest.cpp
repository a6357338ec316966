#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "audio/SoundManager.h"
#include "characters/Boss.h"
#include "characters/Enemy.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "support/TempDataDir.h"
#include "ui/MainMenu.h"
#include "world/Head.h"
#include "world/Health.h"
#include "world/Obstacle.h"
#include "world/Stick.h"

#include "RegionProbe.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

constexpr double kEdgeSlope = 2.0 * 0.36337;

template <typename T>
std::vector<T*> objectsOf() {
    std::vector<T*> found;
    for (const std::unique_ptr<Object>& object : Game::instance().getWorld()) {
        if (auto* match = dynamic_cast<T*>(object.get())) {
            found.push_back(match);
        }
    }
    return found;
}

class LevelTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings& settings = Settings::instance();
        settings.setFloat("x_offset", 10.0f);
        settings.setFloat("z_offset", 12.0f);
        settings.setInt("music", 1);
        settings.setInt("arcade", 0);
    }

    // Starts a home-mode game on `file`; the output of the load is returned.
    std::string start(const std::string& file, bool twoPlayers = false) {
        testing::internal::CaptureStdout();
        game.startGame(true, twoPlayers, file);
        return testing::internal::GetCapturedStdout();
    }

    std::string updateLevel(double lead, int ticks = 1) {
        testing::internal::CaptureStdout();
        for (int i = 0; i < ticks; ++i) {
            level().update(lead);
        }
        return testing::internal::GetCapturedStdout();
    }

    Level& level() { return game.getLevel(); }
    bool mainMenuOpen() const {
        return dynamic_cast<MainMenu*>(game.getMenu()) != nullptr && game.isBackgroundShown() &&
               game.getBackgroundTexture() == "mainmenu_bk" && !game.isAttract();
    }

    TempDataDir dir;
    Game& game = Game::instance();
};

TEST_F(LevelTest, ReadsEveryKindOfLine) {
    dir.write("levels/all.dat",
              "# every kind of line\n"
              "enemy 1 0 5 -2 1 1   # a stick carrier from the left\n"
              "enemy 2 1 5 -4 4 1\n"
              "enemy 7 1 5 -3 2 1\n"
              "#enemy 0 0 0 -2 0 1\n"
              "obstacle barrel 1.5 3 2 60 -5 4\n"
              "obstacle crate 1 2 3 42 -6 0\n"
              "item 41 -1 2\n"
              "item 39 -1 9\n"
              "\n"
              "   \t\n"
              "stop 100\n"
              "music theme.ogg 0 0.5\n"
              "end 500 level2.dat\n"
              "dance 1 2 3\n");

    EXPECT_THAT(start("all.dat"), HasSubstr("Unhandled line in all.dat: dance 1 2 3\n"));
    EXPECT_EQ(level().name(), "all.dat");
    EXPECT_EQ(level().nextLevelName(), "level2.dat");
    EXPECT_DOUBLE_EQ(level().backLimit(), 3.0);

    const std::string firstTick = updateLevel(5.0);
    EXPECT_THAT(firstTick, HasSubstr("Unknown weapon for enemy: 7\n"));
    EXPECT_THAT(firstTick, HasSubstr("Unknown item type: 9\n"));
    if (SoundManager::instance().hasAudio()) {
        EXPECT_THAT(firstTick, HasSubstr("Couldn't open theme.ogg."));
    }

    const std::vector<Enemy*> enemies = objectsOf<Enemy>();
    ASSERT_EQ(enemies.size(), 3u);
    Enemy* stickCarrier = enemies[0];
    EXPECT_EQ(stickCarrier->getKind(), 1);
    EXPECT_EQ(stickCarrier->position, Vec3(-kEdgeSlope * 22.0, 0.0, -2.0));
    EXPECT_FALSE(stickCarrier->isFacingLeft());
    auto* stick = dynamic_cast<Stick*>(stickCarrier->heldWeapon());
    ASSERT_NE(stick, nullptr);
    EXPECT_EQ(stick->getColour(), Color(0, 0, 0, 1));

    ASSERT_NE(dynamic_cast<Boss*>(enemies[1]), nullptr);
    EXPECT_EQ(enemies[1]->position, Vec3(kEdgeSlope * 24.0, 0.0, -4.0));
    EXPECT_TRUE(enemies[1]->isFacingLeft());
    auto* head = dynamic_cast<Head*>(enemies[1]->heldWeapon());
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->getColour(), Color(0, 0, 0, 1));

    EXPECT_EQ(enemies[2]->getKind(), 2);
    EXPECT_EQ(enemies[2]->heldWeapon(), nullptr);

    // Pickups and obstacles appear 40 units ahead of the view as it stood at the start of
    // the tick, in x order whatever the order of the file.
    EXPECT_DOUBLE_EQ(level().scroll(), 0.25);
    EXPECT_TRUE(objectsOf<Health>().empty());
    updateLevel(5.0, 3);
    EXPECT_TRUE(objectsOf<Health>().empty());
    updateLevel(5.0);
    ASSERT_EQ(objectsOf<MediumHealth>().size(), 1u);
    EXPECT_EQ(objectsOf<MediumHealth>()[0]->position, Vec3(41, 0, -1));
    EXPECT_TRUE(objectsOf<Obstacle>().empty());
    updateLevel(5.0, 4);
    ASSERT_EQ(objectsOf<Obstacle>().size(), 1u);
    EXPECT_EQ(objectsOf<Obstacle>()[0]->position, Vec3(42, 0, -6));
    EXPECT_EQ(objectsOf<Obstacle>()[0]->getContents(), 0);

    // The view follows the lead player a quarter unit a tick and never passes it.
    updateLevel(5.0, 20);
    EXPECT_DOUBLE_EQ(level().scroll(), 5.0);
    EXPECT_EQ(objectsOf<Enemy>().size(), 3u);
    EXPECT_EQ(objectsOf<Obstacle>().size(), 1u);
    EXPECT_FALSE(level().isStopped());
    EXPECT_EQ(game.getMenu(), nullptr);
}

TEST_F(LevelTest, ShortLinesStillAddTheirEntries) {
    dir.write("levels/short.dat", "enemy 2 1\nitem 12\nend\n");
    start("short.dat");

    const std::string output = updateLevel(0.0);

    const std::vector<Enemy*> enemies = objectsOf<Enemy>();
    ASSERT_EQ(enemies.size(), 1u);
    EXPECT_EQ(enemies[0]->getKind(), 0);
    EXPECT_EQ(enemies[0]->position, Vec3(kEdgeSlope * 20.0, 0.0, 0.0));
    EXPECT_NE(dynamic_cast<Head*>(enemies[0]->heldWeapon()), nullptr);
    EXPECT_THAT(output, HasSubstr("Unknown item type: 0\n"));
    EXPECT_TRUE(mainMenuOpen());
}

TEST_F(LevelTest, EnemyNeedsItsMinimumNumberOfPlayers) {
    dir.write("levels/duo.dat", "enemy 0 1 30 -2 0 2\n");

    start("duo.dat");
    updateLevel(29.0);
    updateLevel(30.0);
    EXPECT_TRUE(objectsOf<Enemy>().empty());

    start("duo.dat", true);
    updateLevel(30.0);
    const std::vector<Enemy*> enemies = objectsOf<Enemy>();
    ASSERT_EQ(enemies.size(), 1u);
    EXPECT_EQ(enemies[0]->getKind(), 0);
    EXPECT_EQ(enemies[0]->position, Vec3(kEdgeSlope * 22.0, 0.0, -2.0));
    EXPECT_TRUE(enemies[0]->isFacingLeft());
}

TEST_F(LevelTest, OnlyTheCutsceneForThisManyPlayersPlaysAndEndsTheTick) {
    dir.write("levels/scenes.dat",
              "cutscene cutscenes/duo.dat 0 2\n"
              "cutscene cutscenes/solo.dat 0 1\n"
              "end 0\n");
    for (const bool twoPlayers : {false, true}) {
        start("scenes.dat", twoPlayers);
        const std::string played = twoPlayers ? "cutscenes/duo.dat" : "cutscenes/solo.dat";
        const std::string dropped = twoPlayers ? "cutscenes/solo.dat" : "cutscenes/duo.dat";

        std::string output = updateLevel(0.0);
        EXPECT_THAT(output, HasSubstr("Could not open cutscene: " + played));
        EXPECT_EQ(game.getMenu(), nullptr) << "the end waits for the next tick";

        output += updateLevel(0.0);
        EXPECT_THAT(output, Not(HasSubstr(dropped)));
        EXPECT_TRUE(mainMenuOpen());
        game.closeMenu();
        game.clearBackground();
    }
}

TEST_F(LevelTest, StopHoldsTheViewUntilNoEnemyLives) {
    dir.write("levels/stops.dat", "stop 50\nstop 80\nenemy 0 1 80 -2 0 1\nenemy 0 0 90 -2 3 1\n");
    start("stops.dat");

    updateLevel(50.0);
    EXPECT_TRUE(level().isStopped());
    EXPECT_DOUBLE_EQ(level().scroll(), 0.0);
    updateLevel(50.0);
    EXPECT_FALSE(level().isStopped());
    EXPECT_DOUBLE_EQ(level().scroll(), 0.25);

    updateLevel(80.0);
    EXPECT_TRUE(level().isStopped());
    updateLevel(90.0, 5);
    EXPECT_DOUBLE_EQ(level().scroll(), 0.25);
    // Held, but enemies whose trigger is reached still come.
    ASSERT_EQ(objectsOf<Enemy>().size(), 2u);

    for (Enemy* enemy : objectsOf<Enemy>()) {
        enemy->die();
    }
    updateLevel(90.0);
    EXPECT_FALSE(level().isStopped());
    EXPECT_DOUBLE_EQ(level().scroll(), 0.5);
}

TEST_F(LevelTest, NoLivingPlayerFreezesTheLevel) {
    dir.write("levels/frozen.dat",
              "stop 0\n"
              "enemy 0 0 0 -2 0 1\n"
              "obstacle crate 1 2 2 45 -2 1\n"
              "item 44 -1 1\n"
              "cutscene cutscenes/intro.dat 1 1\n"
              "music theme.ogg 1 1\n"
              "end 1\n");
    start("frozen.dat");

    const std::string output = updateLevel(-1.0, 50);

    EXPECT_EQ(output, "");
    EXPECT_DOUBLE_EQ(level().scroll(), 0.0);
    EXPECT_FALSE(level().isStopped());
    EXPECT_TRUE(objectsOf<Enemy>().empty());
    EXPECT_TRUE(objectsOf<Obstacle>().empty());
    EXPECT_TRUE(objectsOf<Health>().empty());
    EXPECT_EQ(game.getMenu(), nullptr);
}

TEST_F(LevelTest, LevelWithoutEndNeverFinishesByItself) {
    dir.write("levels/short.dat", "end 0\n");
    dir.write("levels/endless.dat", "item 5 0 1\n");
    start("short.dat");
    ASSERT_TRUE(level().load("endless.dat"));

    updateLevel(1000.0, 100);

    EXPECT_DOUBLE_EQ(level().scroll(), 25.0);
    EXPECT_EQ(game.getMenu(), nullptr);
}

TEST_F(LevelTest, LevelsChainUntilTheGameEnds) {
    dir.write("levels/level1.dat", "enemy 0 0 0 -2 0 1\nend 0 level2.dat\n");
    dir.write("levels/level2.dat", "end 0\n");
    start("level1.dat");

    testing::internal::CaptureStdout();
    game.update(20);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(level().name(), "level2.dat");
    EXPECT_EQ(game.getLevelName(), "level2.dat");
    EXPECT_NE(game.getPlayer1(), nullptr);
    EXPECT_TRUE(objectsOf<Enemy>().empty()) << "the new level starts with a fresh world";
    EXPECT_EQ(game.getMenu(), nullptr);

    testing::internal::CaptureStdout();
    game.update(20);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(mainMenuOpen());
}

TEST_F(LevelTest, MissingNextLevelEndsTheGame) {
    dir.write("levels/level1.dat", "end 0 nowhere.dat\n");
    start("level1.dat");

    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    game.update(20);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Failed to load nowhere.dat\n");
    EXPECT_TRUE(mainMenuOpen());
}

}  // namespace
