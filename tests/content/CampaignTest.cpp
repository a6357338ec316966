// The shipped campaign plays through: scripted players walk right and fight their way
// over every level, past every stop, through the cutscenes and both bosses, to the
// credits and back to the main menu. An idle player dies on every level.
#include <gtest/gtest.h>
#include <unistd.h>

#include <AL/alut.h>

#include <cmath>
#include <map>
#include <set>
#include <string>

#include "characters/Boss.h"
#include "characters/Enemy.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "ui/Cutscene.h"
#include "ui/MainMenu.h"

namespace {

const std::set<std::string> kLevels = {"level1.dat", "level2.dat", "level3.dat", "level4.dat",
                                       "level5.dat", "level6.dat", "level7.dat", "level8.dat"};

// Walks right; turns on the nearest enemy in reach and punches it. The script cannot
// dodge, so it is kept alive; it still has to fight to pass.
void fight(Game& game, Player* player, int tick) {
    player->setHealth(300.0f);
    Vec3 step(0.25, 0, 0);
    if (const Enemy* enemy = game.findNearestEnemy(player->position)) {
        const Vec3 gap = enemy->position - player->position;
        if (std::abs(gap.x) < 12.0) {
            step = Vec3(std::abs(gap.x) > 2.5 ? (gap.x > 0 ? 0.25 : -0.25) : (gap.x > 0 ? 0.01 : -0.01), 0,
                        std::abs(gap.z) > 0.5 ? (gap.z > 0 ? 0.25 : -0.25) : 0.0);
        }
    }
    player->move(step);
    if (tick % 15 == 0) player->attack();
}

class CampaignData : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(chdir(MB_DATA_DIR), 0);
        alutInitWithoutContext(nullptr, nullptr);
        Settings::instance().load("config.dat");
    }
    // Made after SetUp: the game loads its animations from the data directory.
    Game& game() const { return Game::instance(); }
};

class CampaignTest : public CampaignData, public ::testing::WithParamInterface<bool> {};

TEST_P(CampaignTest, ScriptedPlayersReachTheCreditsThroughBothBosses) {
    const bool twoPlayers = GetParam();
    Game& game = this->game();
    game.startGame(true, twoPlayers, "level1.dat");

    std::set<std::string> levels;
    std::set<std::string> slidesSeen;
    std::set<std::string> bossLevels;
    std::map<std::string, int> ticksIn;
    int tick = 0;
    for (; tick < 200000 && game.getMenu() == nullptr; ++tick) {
        if (Cutscene::instance().isPlaying()) {
            slidesSeen.insert(Cutscene::instance().currentFrame().texture);
            Cutscene::instance().skip();
        }
        levels.insert(game.getLevelName());
        ++ticksIn[game.getLevelName()];
        ASSERT_NE(game.getPlayer1(), nullptr);
        fight(game, game.getPlayer1(), tick);
        if (twoPlayers) {
            ASSERT_NE(game.getPlayer2(), nullptr);
            fight(game, game.getPlayer2(), tick + 7);
        }
        auto isBoss = [](const Enemy& e) { return dynamic_cast<const Boss*>(&e) != nullptr; };
        if (Enemy* boss = game.findNearestEnemy(Vec3(), isBoss)) {
            bossLevels.insert(game.getLevelName());
            // Only fired heads hurt the boss; the script stands in for a good shot.
            if (tick % 50 == 0) boss->takeDamage(100.0f);
        }
        game.update(20);
    }
    std::cout << (twoPlayers ? 2 : 1) << "-player campaign finished after " << tick << " ticks (" << tick / 50
              << " s of play)\n";
    for (const auto& [level, ticks] : ticksIn) std::cout << "  " << level << ": " << ticks << " ticks\n";
    EXPECT_NE(dynamic_cast<MainMenu*>(game.getMenu()), nullptr) << "stuck after " << tick << " ticks in "
                                                                 << game.getLevelName();
    EXPECT_EQ(levels, kLevels);
    EXPECT_EQ(bossLevels, (std::set<std::string>{"level4.dat", "level8.dat"}));
    for (const char* first : {"intro_1", "to_maths_1", "to_history_1", "to_science_1", "between_1", "to_music_1",
                              "to_map_1", "to_drawer_1", "to_cover_1", "ending_1", "credits_1"}) {
        EXPECT_EQ(slidesSeen.count(first), 1u) << first;
    }
    EXPECT_GE(tick, 60000) << "the campaign takes at least twenty minutes for a player who fights everything";
}

INSTANTIATE_TEST_SUITE_P(OneAndTwoPlayers, CampaignTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "TwoPlayers" : "OnePlayer";
                         });

// Every level opens with a wave that beats a player who does nothing.
TEST_F(CampaignData, AnIdlePlayerDiesOnEveryLevel) {
    Game& game = this->game();
    for (const std::string& level : kLevels) {
        game.startGame(true, false, level);
        int tick = 0;
        for (; tick < 6000 && !game.getPlayer1()->isDead(); ++tick) {
            if (Cutscene::instance().isPlaying()) Cutscene::instance().skip();
            game.update(20);
        }
        std::cout << "an idle player dies on " << level << " after " << tick << " ticks\n";
        EXPECT_TRUE(game.getPlayer1()->isDead()) << level;
    }
}

}  // namespace
