#include "ProgressWatch.h"

#include <algorithm>
#include <iostream>

#include "characters/Enemy.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "ui/Cutscene.h"

namespace {

constexpr int kTick = 20;

}  // namespace

ProgressWatch::Snapshot ProgressWatch::take(const Game& game) {
    Snapshot now;
    now.level = game.getLevelName();
    now.player1 = game.getPlayer1();
    now.player2 = game.getPlayer2();
    for (const Player* player : {now.player1, now.player2}) {
        if (player != nullptr && !player->isDead()) ++now.livingPlayers;
    }
    for (const auto& object : game.getWorld()) {
        const auto* enemy = dynamic_cast<const Enemy*>(object.get());
        if (enemy != nullptr && !enemy->isDead()) ++now.livingEnemies;
    }
    now.cutscene = Cutscene::instance().isPlaying();
    return now;
}

void ProgressWatch::observe(const Game& game, long tick, bool worldRan) {
    const Snapshot now = take(game);
    const double scroll = game.getLevel().scroll();
    const bool levelChanged = now.level != last.level;
    if (levelChanged && !last.level.empty()) {
        ++levelChangeCount;
    }
    // A restart puts the view back to the start of the level.
    if (levelChanged || scroll < furthestScroll - 1.0) {
        furthestScroll = scroll;
    }
    const bool progress = levelChanged || scroll > furthestScroll + 0.01 || now.player1 != last.player1 ||
                          now.player2 != last.player2 || now.livingPlayers != last.livingPlayers ||
                          now.livingEnemies < last.livingEnemies || (now.cutscene && !last.cutscene);
    furthestScroll = std::max(furthestScroll, scroll);
    last = now;
    if (progress) {
        quiet = 0;
        reported = false;
        return;
    }
    if (!worldRan || now.livingPlayers == 0) {
        return;
    }
    quiet += kTick;
    longestQuiet = std::max(longestQuiet, quiet);
    if (quiet > QuietLimitMilliseconds && !reported) {
        reported = true;
        ++stallCount;
        report(game, tick);
    }
}

void ProgressWatch::report(const Game& game, long tick) const {
    const Level& level = game.getLevel();
    std::cout << "soak: PROGRESS STALL at tick " << tick << ": nothing happened for " << QuietLimitMilliseconds / 1000
              << " s in " << level.name() << " at scroll " << level.scroll() << (level.isStopped() ? " (stopped)" : "")
              << " with " << last.livingPlayers << " living players; living enemies:";
    for (const auto& object : game.getWorld()) {
        const auto* enemy = dynamic_cast<const Enemy*>(object.get());
        if (enemy != nullptr && !enemy->isDead()) {
            std::cout << " kind " << enemy->getKind() << " state " << enemy->getState() << " at ("
                      << enemy->position.x << ", " << enemy->position.z << ")";
        }
    }
    for (const Player* player : {game.getPlayer1(), game.getPlayer2()}) {
        if (player != nullptr) {
            std::cout << "; player at (" << player->position.x << ", " << player->position.z << ")";
        }
    }
    std::cout << std::endl;
}
