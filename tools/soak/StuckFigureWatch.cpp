#include "StuckFigureWatch.h"

#include <iostream>

#include "characters/Boss.h"
#include "characters/Player.h"
#include "core/Game.h"

namespace {

constexpr int kTick = 20;

const char* behaviourName(int state) {
    static const char* const names[] = {"Decide",         "ApproachPlayer1", "ApproachPlayer2",
                                        "ThrowAtPlayer1", "ThrowAtPlayer2",  "FetchWeapon",
                                        "HoldOff",        "Striking",        "Idle"};
    return state >= 0 && state <= Enemy::Idle ? names[state] : "unknown";
}

bool livingPlayerPresent(const Game& game) {
    for (const Player* player : {game.getPlayer1(), game.getPlayer2()}) {
        if (player != nullptr && !player->isDead()) return true;
    }
    return false;
}

// Standing still is the behaviour asked for: striking, or waiting its turn.
bool meantToStand(const Enemy& enemy) {
    return enemy.getState() == Enemy::Striking || enemy.getState() == Enemy::Idle ||
           (enemy.getState() == Enemy::HoldOff && enemy.isWaiting());
}

}  // namespace

void StuckFigureWatch::observe(const Game& game, long tick) {
    ++round;
    const bool playerThere = livingPlayerPresent(game);
    for (const auto& object : game.getWorld()) {
        const auto* enemy = dynamic_cast<const Enemy*>(object.get());
        if (enemy == nullptr || enemy->isDead()) {
            continue;
        }
        Track& track = tracks[enemy];
        if (track.seen != round - 1) {
            track = Track();
            track.anchor = enemy->position;
        }
        track.seen = round;
        const FigureState figure = enemy->getFigureState();
        const bool busy = figure != FigureState::Walking && figure != FigureState::Standing;
        if (busy || meantToStand(*enemy) || enemy->isBeingRipped() ||
            (enemy->position - track.anchor).length() > StillRadius) {
            track.anchor = enemy->position;
            track.walkingMilliseconds = 0;
            continue;
        }
        if (figure != FigureState::Walking || !playerThere) {
            continue;
        }
        track.walkingMilliseconds += kTick;
        if (track.walkingMilliseconds > StallMilliseconds &&
            (!track.reported || (enemy->position - track.reportedAt).length() > StillRadius)) {
            track.reported = true;
            track.reportedAt = enemy->position;
            ++stallCount;
            report(game, *enemy, tick);
        }
    }
    // Forget figures that left the world, so a new one at the same address starts afresh.
    for (auto it = tracks.begin(); it != tracks.end();) {
        it = it->second.seen == round ? std::next(it) : tracks.erase(it);
    }
}

void StuckFigureWatch::report(const Game& game, const Enemy& enemy, long tick) const {
    const Object* target = enemy.getTarget();
    const char* targetName = target == nullptr                                    ? "none"
                             : target == game.getPlayer1()                        ? "player 1"
                             : target == game.getPlayer2()                        ? "player 2"
                             : dynamic_cast<const StickFigure*>(target) != nullptr ? "a body"
                                                                                  : "a weapon";
    const Object* obstacle = game.findNearestObstacle(enemy.position);
    const Level& level = game.getLevel();
    std::cout << "soak: STALL at tick " << tick << ": " << (dynamic_cast<const Boss*>(&enemy) ? "boss" : "enemy")
              << " of kind " << enemy.getKind() << " walks on the spot for " << StallMilliseconds / 1000
              << " s in " << behaviourName(enemy.getState()) << " at (" << enemy.position.x << ", "
              << enemy.position.z << "), target " << targetName;
    if (target != nullptr) {
        std::cout << " at (" << target->position.x << ", " << target->position.z << ")";
    }
    if (obstacle != nullptr) {
        std::cout << ", nearest obstacle at (" << obstacle->position.x << ", " << obstacle->position.z << ")";
    }
    std::cout << "; " << level.name() << ", view " << level.leftEdge(20.0 - enemy.position.z) << " to "
              << level.rightEdge(20.0 - enemy.position.z) << ", depth " << level.backLimit() << " to "
              << level.frontLimit() << std::endl;
}
