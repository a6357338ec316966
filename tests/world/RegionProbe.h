#pragma once

#include <map>
#include <memory>

#include "core/Game.h"
#include "world/Object.h"

// A world object with chosen collision regions that counts the messages it receives.
class RegionProbe : public Object {
public:
    explicit RegionProbe(RegionList regionList = {}) : own(std::move(regionList)) {}

    const RegionList& regions() const override { return own; }
    void message(Object*, int message) override { ++received[message]; }

    int count(int message) const {
        const auto found = received.find(message);
        return found == received.end() ? 0 : found->second;
    }

    RegionList own;
    std::map<int, int> received;
};

inline Region circle(RegionType type, double radius) { return Region{type, Vec3(), radius}; }

// Hands `object` to the world at `where` and keeps a pointer for the test.
template <typename T>
T* placeInWorld(std::unique_ptr<T> object, const Vec3& where) {
    object->position = where;
    T* const raw = object.get();
    Game::instance().addObject(std::move(object));
    return raw;
}

inline bool inWorld(const Object* object) {
    for (const std::unique_ptr<Object>& candidate : Game::instance().getWorld()) {
        if (candidate.get() == object) {
            return true;
        }
    }
    return false;
}

template <typename T>
int countInWorld() {
    int count = 0;
    for (const std::unique_ptr<Object>& candidate : Game::instance().getWorld()) {
        if (dynamic_cast<const T*>(candidate.get()) != nullptr) {
            ++count;
        }
    }
    return count;
}

// One world tick as far as these objects care: update, after-update, removal.
inline void tickObjects() {
    Game& game = Game::instance();
    game.updateObjects(20);
    game.removeKilledObjects();
}
