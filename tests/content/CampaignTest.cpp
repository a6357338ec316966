// The shipped campaign plays through: a scripted player walks right and fights its way
// over every level, past every stop, through the cutscenes and the boss, back to the
// main menu.
#include <gtest/gtest.h>
#include <unistd.h>

#include <AL/alut.h>

#include <cmath>
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

// The nearest living enemy, the boss included.
Enemy* nearestEnemy(const Game& game, const Vec3& from) {
    Enemy* nearest = nullptr;
    for (const auto& object : game.getWorld()) {
        auto* enemy = dynamic_cast<Enemy*>(object.get());
        if (enemy != nullptr && !enemy->isDead() &&
            (nearest == nullptr || from.distanceSquared(enemy->position) < from.distanceSquared(nearest->position))) {
            nearest = enemy;
        }
    }
    return nearest;
}

Boss* findBoss(const Game& game) {
    for (const auto& object : game.getWorld()) {
        if (auto* boss = dynamic_cast<Boss*>(object.get())) return boss;
    }
    return nullptr;
}

TEST(CampaignTest, AScriptedPlayerReachesTheEndOfTheGame) {
    ASSERT_EQ(chdir(MB_DATA_DIR), 0);
    alutInitWithoutContext(nullptr, nullptr);
    Settings::instance().load("config.dat");
    Game& game = Game::instance();
    game.startGame(true, false, "level1.dat");

    std::set<std::string> levels;
    std::set<std::string> cutscenesSeen;
    bool bossFought = false;
    int tick = 0;
    for (; tick < 200000 && game.getMenu() == nullptr; ++tick) {
        if (Cutscene::instance().isPlaying()) {
            cutscenesSeen.insert(game.getLevelName());
            Cutscene::instance().skip();
        }
        levels.insert(game.getLevelName());
        Player* player = game.getPlayer1();
        ASSERT_NE(player, nullptr);
        // The script cannot dodge, so it is kept alive; it still has to fight to pass.
        player->setHealth(300.0f);
        // Walk right; turn on the nearest enemy in reach and punch it.
        Vec3 step(0.25, 0, 0);
        if (Enemy* enemy = nearestEnemy(game, player->position)) {
            const Vec3 gap = enemy->position - player->position;
            if (std::abs(gap.x) < 12.0) {
                step = Vec3(std::abs(gap.x) > 2.5 ? (gap.x > 0 ? 0.25 : -0.25) : (gap.x > 0 ? 0.01 : -0.01), 0,
                            std::abs(gap.z) > 0.5 ? (gap.z > 0 ? 0.25 : -0.25) : 0.0);
            }
        }
        player->move(step);
        if (tick % 15 == 0) player->attack();
        if (Boss* boss = findBoss(game); boss != nullptr && !boss->isDead()) {
            bossFought = true;
            // Only fired heads hurt the boss; the script stands in for a good shot.
            if (tick % 50 == 0) boss->takeDamage(100.0f);
        }
        game.update(20);
    }
    std::cout << "campaign finished after " << tick << " ticks (" << tick / 50 << " s of play)\n";
    EXPECT_NE(dynamic_cast<MainMenu*>(game.getMenu()), nullptr) << "stuck after " << tick << " ticks in "
                                                                 << game.getLevelName();
    EXPECT_EQ(levels, (std::set<std::string>{"level1.dat", "level2.dat", "level3.dat"}));
    EXPECT_EQ(cutscenesSeen.size(), 3u) << "intro, between and ending";
    EXPECT_TRUE(bossFought);
}

}  // namespace
