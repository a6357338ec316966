// The world operations of the Game: the object list and its per-tick passes.
#include <GL/gl.h>

#include <algorithm>

#include "characters/AttackerTally.h"
#include "characters/Boss.h"
#include "characters/Enemy.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "core/SettingsCache.h"
#include "world/Head.h"
#include "world/Message.h"
#include "world/Obstacle.h"
#include "world/Stick.h"

namespace {

double leftDeadSpace() {
    static SettingsCache<double> space(
        [] { return Settings::instance().getFloatWithin("leftDeadSpace", limits::distance); });
    return space.get();
}

}  // namespace

void Game::addObject(std::unique_ptr<Object> object) {
    if (object) {
        ++worldEdits;
        world.add(std::move(object));
    }
}

Object* Game::findObject(ObjectId id) const { return world.find(id); }

Object* objectInWorld(ObjectId id) { return id != 0 ? Game::instance().findObject(id) : nullptr; }

std::unique_ptr<Object> Game::removeObject(Object* target) {
    ++worldEdits;
    for (const std::unique_ptr<Object>& object : world) {
        if (object.get() != target) {
            object->message(target, Removed);
        }
    }
    std::unique_ptr<Object> owned = world.take(target);
    if (owned) {
        owned->forgetTickStart();
    }
    if (player1 == target) {
        player1.reset();
    }
    if (player2 == target) {
        player2.reset();
    }
    return owned;
}

void Game::broadcast(Object* from, int message) {
    ++worldEdits;
    for (const std::unique_ptr<Object>& object : world) {
        if (object.get() != from && !object->removed) {
            object->message(from, message);
        }
    }
}

void Game::clearWorld() {
    ++worldEdits;
    player1.reset();
    player2.reset();
    world.clear();
    // The enemies that claimed the players went with the world.
    AttackerTally::instance().reset();
}

bool Game::noLivingEnemies() const {
    return std::none_of(world.begin(), world.end(), [](const std::unique_ptr<Object>& object) {
        const auto* enemy = dynamic_cast<const Enemy*>(object.get());
        return enemy != nullptr && !enemy->isDead();
    });
}

int Game::countLivingMinions() const {
    int count = 0;
    for (const std::unique_ptr<Object>& object : world) {
        const auto* enemy = dynamic_cast<const Enemy*>(object.get());
        if (enemy == nullptr || dynamic_cast<const Boss*>(enemy) != nullptr) {
            continue;
        }
        if (!enemy->isDead() || enemy->canLoseLimb(WholeBody)) {
            ++count;
        }
    }
    return count;
}

void Game::disintegrateAll() {
    for (const std::unique_ptr<Object>& object : world) {
        object->disintegrate();
    }
}

Object* Game::findNearestObstacle(const Vec3& from) const {
    Object* nearest = nullptr;
    double nearestDistance = 0.0;
    for (const std::unique_ptr<Object>& object : world) {
        const auto* obstacle = dynamic_cast<const Obstacle*>(object.get());
        if (obstacle == nullptr || obstacle->getRadius() <= 0.0) {
            continue;
        }
        if (!(object->position.x > level.leftEdge(20.0 - object->position.z))) {
            continue;
        }
        const double distance = from.distanceSquared(object->position);
        if (nearest == nullptr || distance < nearestDistance) {
            nearest = object.get();
            nearestDistance = distance;
        }
    }
    return nearest;
}

Object* Game::findNearestTarget(const Vec3& from) const {
    Object* nearest = nullptr;
    double nearestDistance = 0.0;
    for (const std::unique_ptr<Object>& object : world) {
        Object* const candidate = object.get();
        bool wanted = dynamic_cast<Stick*>(candidate) != nullptr || dynamic_cast<Head*>(candidate) != nullptr;
        if (!wanted) {
            // A fallen player is never torn apart or carried off, so offering its body
            // would leave an enemy standing over it for good.
            const auto* figure = dynamic_cast<const StickFigure*>(candidate);
            wanted = figure != nullptr && figure->isDead() && figure->hasAnyLimb() &&
                     dynamic_cast<const Player*>(figure) == nullptr;
        }
        if (!wanted) {
            continue;
        }
        const double distanceFromEye = 20.0 - candidate->position.z;
        const double x = candidate->position.x;
        if (!(level.leftEdge(distanceFromEye) < x && x < level.rightEdge(distanceFromEye))) {
            continue;
        }
        const double distance = from.distanceSquared(candidate->position);
        if (nearest == nullptr || distance < nearestDistance) {
            nearest = candidate;
            nearestDistance = distance;
        }
    }
    return nearest;
}

Enemy* Game::findNearestEnemy(const Vec3& from, const std::function<bool(const Enemy&)>& eligible) const {
    Enemy* nearest = nullptr;
    double nearestDistance = 0.0;
    for (const std::unique_ptr<Object>& object : world) {
        auto* const enemy = dynamic_cast<Enemy*>(object.get());
        if (enemy == nullptr || enemy->isDead() || (eligible && !eligible(*enemy))) {
            continue;
        }
        const double distance = from.distanceSquared(enemy->position);
        if (nearest == nullptr || distance < nearestDistance) {
            nearest = enemy;
            nearestDistance = distance;
        }
    }
    return nearest;
}

Vec3 Game::currentWorldPosition() const {
    GLdouble m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    const double w = (m[15] != 0.0) ? m[15] : 1.0;
    return Vec3(m[12] / w + viewScroll.value_or(level.scroll()), m[13] / w, m[14] / w);
}

void Game::updateObjects(int milliseconds) {
    for (auto it = world.begin(); it != world.end(); ++it) {
        (*it)->update(milliseconds);
    }
    for (auto it = world.begin(); it != world.end(); ++it) {
        (*it)->afterUpdate();
    }
}

void Game::removeKilledObjects() {
    world.removeKilled();
}

void Game::clampToView() {
    for (const std::unique_ptr<Object>& object : world) {
        const auto* figure = dynamic_cast<const StickFigure*>(object.get());
        if (figure == nullptr || figure->isDead()) {
            continue;
        }
        Vec3& p = object->position;
        if (p.z > level.frontLimit()) {
            p.z = level.frontLimit();
        } else if (p.z < level.backLimit()) {
            p.z = level.backLimit();
        }
        const double distance = 20.0 - p.z;
        if (p.x < level.leftEdge(distance)) {
            p.x = level.leftEdge(distance);
        } else if (p.x > level.rightEdge(distance)) {
            p.x = level.rightEdge(distance);
        }
    }
}

void Game::collisionPass() { collisions.run(world.list(), worldEdits); }

void Game::removeOffscreenObjects() {
    const double deadSpace = leftDeadSpace();
    for (const std::unique_ptr<Object>& object : world) {
        if (dynamic_cast<const Player*>(object.get()) != nullptr) {
            continue;
        }
        if (object->position.x < level.leftEdge(20.0 - object->position.z) - deadSpace) {
            object->kill();
        }
    }
}

void Game::sortForDrawing() {
    world.sort([](const std::unique_ptr<Object>& a, const std::unique_ptr<Object>& b) {
        if (a->drawLast != b->drawLast) {
            return !a->drawLast;
        }
        return a->position.z < b->position.z;
    });
}
