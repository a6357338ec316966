#pragma once

#include <AL/al.h>

#include <utility>

// Owns one OpenAL object name (a buffer or a source) and deletes it when dropped.
// Creating and deleting both act on the current context, so owners must be released
// while that context is still current. Move-only.
template <void(AL_APIENTRY* Generate)(ALsizei, ALuint*), void(AL_APIENTRY* Delete)(ALsizei, const ALuint*)>
class AlName {
public:
    AlName() = default;
    ~AlName() { reset(); }
    AlName(AlName&& other) noexcept : name(std::exchange(other.name, 0)) {}
    AlName& operator=(AlName&& other) noexcept {
        if (this != &other) {
            reset();
            name = std::exchange(other.name, 0);
        }
        return *this;
    }
    AlName(const AlName&) = delete;
    AlName& operator=(const AlName&) = delete;

    // A new name from the current context; id() stays 0 if OpenAL refused.
    static AlName generate() {
        ALuint fresh = 0;
        Generate(1, &fresh);
        return adopt(fresh);
    }
    // Takes over a name that someone else (ALUT) created.
    static AlName adopt(ALuint existing) {
        AlName owner;
        owner.name = existing;
        return owner;
    }

    ALuint id() const { return name; }
    explicit operator bool() const { return name != 0; }

    void reset() {
        if (name != 0) {
            Delete(1, &name);
            name = 0;
        }
    }

private:
    ALuint name = 0;
};

using AlBuffer = AlName<alGenBuffers, alDeleteBuffers>;
using AlSource = AlName<alGenSources, alDeleteSources>;
