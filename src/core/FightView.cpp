#include "core/FightView.h"

#include <algorithm>

#include "characters/Boss.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "core/SettingsCache.h"
#include "render/PlayerMarker.h"
#include "render/Shadows.h"
#include "world/Head.h"
#include "world/Health.h"
#include "world/Stick.h"

namespace {

bool shadowsOn() {
    static SettingsCache<bool> on([] { return Settings::instance().getInt("shadows") != 0; });
    return on.get();
}
double headRadius() {
    static SettingsCache<double> radius(
        [] { return Settings::instance().getFloatWithin("headRadius", limits::bodySize); });
    return radius.get();
}

// Footprints on the floor, as half-widths along x and z. A figure's is about as wide as
// its stride; a corpse's grows to its length as it topples backwards, and its middle
// moves to where its chest comes to lie. The boss is one and a half times a man.
constexpr double FigureHalfWidth = 1.5;
constexpr double FigureHalfDepth = 1.1;
constexpr double FallenHalfWidth = 3.4;
constexpr double FallenShift = 2.8;
constexpr double BossScale = 1.5;
constexpr double StickHalfWidth = 1.35;
constexpr double StickHalfDepth = 0.35;
constexpr double PotHalfWidth = 1.3;
constexpr double PotHalfDepth = 0.6;
// The number stands this far above a player's feet, clear of the head.
constexpr double NumberHeight = 6.4;

void addShadow(Shadows& shadows, const Object& object) {
    // Where the frame draws the object, between the last two ticks.
    const Vec3 at = object.drawnPosition();
    if (const auto* figure = dynamic_cast<const StickFigure*>(&object)) {
        const double scale = dynamic_cast<const Boss*>(figure) != nullptr ? BossScale : 1.0;
        const double fall = figure->isDead() ? figure->getFall() : 0.0;
        const double back = figure->isFacingLeft() ? 1.0 : -1.0;
        const Vec3 middle(at.x + back * fall * FallenShift * scale, at.y,
                          at.z);
        const double halfWidth = FigureHalfWidth + fall * (FallenHalfWidth - FigureHalfWidth);
        shadows.add(middle, halfWidth * scale, FigureHalfDepth * scale);
    } else if (dynamic_cast<const Head*>(&object) != nullptr) {
        // A head lies on the floor with its middle one radius up.
        const double r = headRadius();
        const Vec3 under(at.x, at.y - r, at.z);
        shadows.add(under, r * 1.15, r * 0.85);
    } else if (dynamic_cast<const Stick*>(&object) != nullptr) {
        shadows.add(at, StickHalfWidth, StickHalfDepth);
    } else if (dynamic_cast<const Health*>(&object) != nullptr) {
        shadows.add(at, PotHalfWidth, PotHalfDepth);
    }
}

int livingEnemiesNear(const Game& game, const Vec3& at) {
    int count = 0;
    for (const auto& object : game.getWorld()) {
        const auto* enemy = dynamic_cast<const Enemy*>(object.get());
        if (enemy == nullptr || enemy->isDead()) {
            continue;
        }
        const double dx = enemy->position.x - at.x;
        const double dz = enemy->position.z - at.z;
        if (dx * dx + dz * dz <= FightView::CrowdRadius * FightView::CrowdRadius) {
            ++count;
        }
    }
    return count;
}

const Boss* livingBoss(const Game& game) {
    for (const auto& object : game.getWorld()) {
        const auto* boss = dynamic_cast<const Boss*>(object.get());
        if (boss != nullptr && !boss->isDead()) {
            return boss;
        }
    }
    return nullptr;
}

}  // namespace

void FightView::levelStarted() {
    for (Mark& mark : marks) {
        mark = Mark{};
    }
    boss = nullptr;
    bossShown = false;
}

void FightView::update(const Game& game, int milliseconds) {
    const Player* const players[2] = {game.getPlayer1(), game.getPlayer2()};
    for (int slot = 0; slot < 2; ++slot) {
        Mark& mark = marks[slot];
        const Player* player = players[slot];
        const bool dead = player != nullptr && player->isDead();
        if (player != mark.player || (mark.wasDead && !dead)) {
            mark.numberLeft = NumberMilliseconds;
        } else {
            mark.numberLeft = std::max(0, mark.numberLeft - milliseconds);
        }
        mark.player = player;
        mark.wasDead = dead;
        mark.crowded = player != nullptr && !dead && livingEnemiesNear(game, player->position) >= CrowdSize;
    }

    const Boss* living = livingBoss(game);
    if (living == nullptr) {
        bossShown = false;
        boss = nullptr;
        return;
    }
    const float health = living->getMaxHealth() > 0.0f ? living->getHealth() / living->getMaxHealth() : 0.0f;
    if (living != boss) {
        boss = living;
        bar.reset(health);
    }
    bar.update(health, milliseconds);
    bossTitle = living->getName();
    bossShown = true;
}

bool FightView::numberShown(int player) const {
    const Mark& mark = marks[player == 2 ? 1 : 0];
    return !mark.wasDead && mark.player != nullptr && (mark.numberLeft > 0 || mark.crowded);
}

void FightView::drawFloor(const Game& game) const {
    if (shadowsOn()) {
        Shadows shadows;
        for (const auto& object : game.getWorld()) {
            addShadow(shadows, *object);
        }
        shadows.draw();
    }
    for (const Player* player : {game.getPlayer1(), game.getPlayer2()}) {
        if (player != nullptr && !player->isDead()) {
            PlayerMarker::drawRing(player->drawnPosition(), player->getColor(), player->isFacingLeft());
        }
    }
}

void FightView::drawAbove(const Game& game) const {
    const Player* const players[2] = {game.getPlayer1(), game.getPlayer2()};
    for (int slot = 0; slot < 2; ++slot) {
        const Player* player = players[slot];
        // The marks may be a tick behind the players: show only the one they were kept for.
        if (player == nullptr || player != marks[slot].player || !numberShown(slot + 1)) {
            continue;
        }
        const Vec3 feet = player->drawnPosition();
        const Vec3 top(feet.x, feet.y + NumberHeight, feet.z);
        PlayerMarker::drawNumber(top, slot + 1, player->getColor());
    }
}

void FightView::drawOverlay() const {
    if (bossShown) {
        bar.draw(bossTitle);
    }
}
