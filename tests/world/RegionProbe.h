#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "core/Game.h"
#include "world/Object.h"

// Receiver, sender and message number, as a probe writes them down.
using Received = std::tuple<std::string, std::string, int>;

// A world object with chosen collision regions that writes every message it receives into
// a log shared with the other probes, so the order across objects shows.
class RegionProbe : public Object {
public:
    RegionProbe(std::string name, std::vector<Received>& log, RegionList regionList = {})
        : name(std::move(name)), log(log), own(std::move(regionList)) {}

    std::unique_ptr<Object> clone() const override { return std::make_unique<RegionProbe>(*this); }
    const RegionList& regions() const override { return own; }
    void message(Object* from, int message) override {
        const auto* sender = dynamic_cast<const RegionProbe*>(from);
        log.emplace_back(name, sender != nullptr ? sender->name : "?", message);
    }
    int count(int message) const {
        return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const Received& r) {
            return std::get<0>(r) == name && std::get<2>(r) == message;
        }));
    }

    std::string name;
    std::vector<Received>& log;
    RegionList own;
};

inline Region circle(RegionType type, double radius, const Vec3& offset = {}) {
    return Region{type, offset, radius};
}

// Hands `object` to the world at `where` and keeps a pointer for the test.
template <typename T>
T* placeInWorld(std::unique_ptr<T> object, const Vec3& where) {
    object->position = where;
    T* const raw = object.get();
    Game::instance().addObject(std::move(object));
    return raw;
}

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
