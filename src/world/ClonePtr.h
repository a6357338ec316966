#pragma once

#include <cstddef>
#include <memory>
#include <utility>

// Sole ownership of an object that goes with its owner when the owner is copied: a copy
// holds a clone (Object::clone) of the original's object. Otherwise a unique_ptr.
template <typename T>
class ClonePtr {
public:
    ClonePtr() = default;
    ClonePtr(std::unique_ptr<T> object) : owned(std::move(object)) {}
    ClonePtr(const ClonePtr& other) : owned(copyOf(other.owned)) {}
    ClonePtr(ClonePtr&&) noexcept = default;
    ClonePtr& operator=(const ClonePtr& other) {
        if (this != &other) owned = copyOf(other.owned);
        return *this;
    }
    ClonePtr& operator=(ClonePtr&&) noexcept = default;
    ClonePtr& operator=(std::unique_ptr<T> object) {
        owned = std::move(object);
        return *this;
    }

    T* get() const { return owned.get(); }
    T* operator->() const { return owned.get(); }
    T& operator*() const { return *owned; }
    explicit operator bool() const { return owned != nullptr; }
    bool operator==(std::nullptr_t) const { return owned == nullptr; }
    bool operator!=(std::nullptr_t) const { return owned != nullptr; }
    // Gives the object up to the caller.
    std::unique_ptr<T> take() { return std::move(owned); }
    void reset() { owned.reset(); }

private:
    static std::unique_ptr<T> copyOf(const std::unique_ptr<T>& object) {
        if (!object) return nullptr;
        std::unique_ptr<T> copy(static_cast<T*>(object->clone().release()));
        return copy;
    }

    std::unique_ptr<T> owned;
};
