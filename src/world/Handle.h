#pragma once

#include <type_traits>

#include "world/Object.h"

// The object with spawn id `id` in the current Game's world; null once it has left the
// world or been deleted, and for id 0.
Object* objectInWorld(ObjectId id);

// How one object refers to another: by the target's spawn id, checked on use. It reads as
// gone (null) as soon as the target has left the world or been deleted, never as a freed
// object; and since a copied match keeps every spawn id, a copy's references lead to the
// copies of their targets. It compares with a plain pointer the way a pointer would.
template <typename T>
class Handle {
public:
    Handle() = default;
    // `object` should be in the world: one that never was has no spawn id and reads as
    // gone at once.
    Handle(const T* object) : target(object != nullptr ? object->id() : 0) {}

    // The target while it is in the world, else null.
    T* get() const {
        Object* const object = objectInWorld(target);
        if constexpr (std::is_same_v<T, Object>) {
            return object;
        } else {
            return dynamic_cast<T*>(object);
        }
    }
    // Whether the handle was given a target, gone or not.
    bool isSet() const { return target != 0; }
    // Set, but its target has left the world or been deleted.
    bool isGone() const { return target != 0 && objectInWorld(target) == nullptr; }
    ObjectId id() const { return target; }
    void reset() { target = 0; }

    // Like pointers: a null pointer equals an unset handle, any other the handle of it.
    bool operator==(const Object* object) const {
        return object == nullptr ? target == 0 : target != 0 && object->id() == target;
    }
    bool operator!=(const Object* object) const { return !(*this == object); }
    bool operator==(const Handle& other) const { return target == other.target; }
    bool operator!=(const Handle& other) const { return target != other.target; }

private:
    ObjectId target = 0;
};

template <typename T>
bool operator==(const Object* object, const Handle<T>& handle) {
    return handle == object;
}

template <typename T>
bool operator!=(const Object* object, const Handle<T>& handle) {
    return handle != object;
}
