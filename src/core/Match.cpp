#include "core/Match.h"

#include "characters/Player.h"
#include "ui/Menu.h"

Match::Match() = default;

Match::Match(const Match& other) { copyFrom(other); }

Match& Match::operator=(const Match& other) {
    if (this != &other) {
        copyFrom(other);
    }
    return *this;
}

Match::~Match() {
    clearObjects();
}

void Match::copyFrom(const Match& other) {
    clearObjects();
    for (const std::unique_ptr<Object>& object : other.world) {
        world.push_back(object->clone());
        index(*world.back());
    }
    lastSpawnId = other.lastSpawnId;
    player1 = other.player1;
    player2 = other.player2;
    player1Joined = other.player1Joined;
    player2Joined = other.player2Joined;
    level = other.level;
    levelName = other.levelName;
    continueCountdown = other.continueCountdown;
    tally = other.tally;
    ink = other.ink;
    cutscene = other.cutscene;
    menu.reset();
    if (other.menu) {
        std::unique_ptr<Object> copy = other.menu->clone();
        menu.reset(static_cast<Menu*>(copy.release()));
    }
    backgroundShown = other.backgroundShown;
    backgroundTexture = other.backgroundTexture;
    attract = other.attract;
    attractShowStarts = other.attractShowStarts;
    controlHeld = other.controlHeld;
    stick = other.stick;
    random = other.random;
    looks = other.looks;
    firstBleed = other.firstBleed;
    credits = other.credits;
}

void Match::index(Object& object) { objectsById[object.spawnId] = &object; }

void Match::add(std::unique_ptr<Object> object) {
    if (object->spawnId == 0) {
        object->spawnId = ++lastSpawnId;
    }
    index(*object);
    world.push_back(std::move(object));
}

std::unique_ptr<Object> Match::take(const Object* object) {
    for (auto it = world.begin(); it != world.end(); ++it) {
        if (it->get() == object) {
            objectsById.erase(object->spawnId);
            std::unique_ptr<Object> owned = std::move(*it);
            world.erase(it);
            return owned;
        }
    }
    return nullptr;
}

void Match::removeKilled() {
    world.remove_if([this](const std::unique_ptr<Object>& object) {
        if (object->removed) {
            objectsById.erase(object->spawnId);
        }
        return object->removed;
    });
}

void Match::clearObjects() {
    objectsById.clear();
    World doomed;
    doomed.swap(world);
    doomed.clear();
}

Object* Match::find(ObjectId id) const {
    const auto found = objectsById.find(id);
    return found != objectsById.end() ? found->second : nullptr;
}
