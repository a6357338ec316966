#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>

#include "world/Handle.h"
#include "world/Vec3.h"

// Gathers the fields of one part of a game's state digest: 64-bit FNV-1a over the bytes
// of each value, shown as its low 32 bits. Objects point at each other; a reference is
// digested as the place of its target in the world (-1 for none, -2 for an object that
// is not in the world), which is the same in every copy of the game.
class StateHasher {
public:
    // Each world object's place in world order.
    using Places = std::unordered_map<const Object*, int>;

    explicit StateHasher(const Places& places) : places(places) {}

    template <typename T>
    StateHasher& operator<<(const T& value) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (const unsigned char byte : bytes) {
            hash = (hash ^ byte) * 1099511628211ull;
        }
        return *this;
    }
    StateHasher& operator<<(const std::string& text) {
        *this << text.size();
        for (const char c : text) *this << c;
        return *this;
    }
    StateHasher& operator<<(const Vec3& v) { return *this << v.x << v.y << v.z; }

    int placeOf(const Object* object) const {
        if (object == nullptr) return -1;
        const auto found = places.find(object);
        return found != places.end() ? found->second : -2;
    }
    template <typename T>
    int placeOf(const Handle<T>& handle) const {
        if (!handle.isSet()) return -1;
        const Object* target = handle.get();
        return target != nullptr ? placeOf(target) : -2;
    }

    uint32_t value() const { return static_cast<uint32_t>(hash ^ (hash >> 32)); }

private:
    const Places& places;
    uint64_t hash = 14695981039346656037ull;
};
