#include "world/World.h"

World::World(const World& other) { copyObjectsOf(other); }

World& World::operator=(const World& other) {
    if (this != &other) {
        clear();
        copyObjectsOf(other);
    }
    return *this;
}

World::~World() { clear(); }

void World::copyObjectsOf(const World& other) {
    byId.reserve(other.byId.size());
    for (const std::unique_ptr<Object>& object : other.objects) {
        objects.push_back(object->clone());
        byId[objects.back()->spawnId] = objects.back().get();
    }
    lastSpawnId = other.lastSpawnId;
}

void World::add(std::unique_ptr<Object> object) {
    if (object->spawnId == 0) {
        object->spawnId = ++lastSpawnId;
    }
    byId[object->spawnId] = object.get();
    objects.push_back(std::move(object));
}

std::unique_ptr<Object> World::take(const Object* object) {
    for (auto it = objects.begin(); it != objects.end(); ++it) {
        if (it->get() == object) {
            byId.erase(object->spawnId);
            std::unique_ptr<Object> owned = std::move(*it);
            objects.erase(it);
            return owned;
        }
    }
    return nullptr;
}

void World::removeKilled() {
    objects.remove_if([this](const std::unique_ptr<Object>& object) {
        if (object->removed) {
            byId.erase(object->spawnId);
        }
        return object->removed;
    });
}

void World::clear() {
    byId.clear();
    List doomed;
    doomed.swap(objects);
    doomed.clear();
}

Object* World::find(ObjectId id) const {
    const auto found = byId.find(id);
    return found != byId.end() ? found->second : nullptr;
}
