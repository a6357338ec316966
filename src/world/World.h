#pragma once

#include <list>
#include <memory>
#include <unordered_map>

#include "world/Object.h"

// The objects of a match in world order, each known by its spawn id, which it gets when
// it first enters and keeps while it is held out of the world. The world owns its
// objects. A copy holds a clone of every object (Object::clone) under the same spawn
// ids, so references between objects (Handle) lead to the copies.
class World {
public:
    using List = std::list<std::unique_ptr<Object>>;

    World() = default;
    World(const World& other);
    // Deletes this world's objects and clones the other's.
    World& operator=(const World& other);
    ~World();

    // Appends the object; it gets its spawn id if it has none yet.
    void add(std::unique_ptr<Object> object);
    // Unlinks the object and hands it over; null if it is not here.
    std::unique_ptr<Object> take(const Object* object);
    // Deletes every object marked removed; the others keep their order.
    void removeKilled();
    // Deletes every object. Objects may look at the world while they are destroyed, so
    // it is empty before the first one goes.
    void clear();
    // The object with this spawn id while it is here; null otherwise.
    Object* find(ObjectId id) const;

    // Stable: objects that compare equal keep their order.
    template <typename Compare>
    void sort(Compare before) {
        objects.sort(before);
    }

    List::iterator begin() { return objects.begin(); }
    List::iterator end() { return objects.end(); }
    List::const_iterator begin() const { return objects.begin(); }
    List::const_iterator end() const { return objects.end(); }
    std::size_t size() const { return objects.size(); }
    bool empty() const { return objects.empty(); }
    const std::unique_ptr<Object>& front() const { return objects.front(); }
    const std::unique_ptr<Object>& back() const { return objects.back(); }
    List& list() { return objects; }

private:
    void copyObjectsOf(const World& other);

    List objects;
    std::unordered_map<ObjectId, Object*> byId;
    ObjectId lastSpawnId = 0;
};
