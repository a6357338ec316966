#pragma once

#include <cstdint>
#include <memory>

#include "world/Region.h"
#include "world/Vec3.h"

class StateHasher;

// Names an object for as long as the match it lives in: given when it first enters the
// world, kept while it is held out of it and in every copy of the match.
using ObjectId = std::uint32_t;

// Base of everything that lives in a level. The world (owned by Game) drives objects
// through these operations once per tick; objects meet each other only through the
// messages of the collision pass and the world operations of Game.
class Object {
public:
    Object() = default;
    Object& operator=(const Object&) = delete;
    virtual ~Object() = default;

    // A copy of the match is made: a copy of this object with everything it owns (a held
    // weapon too), its spawn id included, so references to it lead to the copy.
    virtual std::unique_ptr<Object> clone() const = 0;

    // Once per gameplay tick, in world order, with the tick length (always 20 ms).
    virtual void update(int milliseconds);
    // After every object was updated; drop references to objects now marked removed.
    virtual void afterUpdate();
    // Once per frame, in world order; the base draws collision regions when enabled.
    virtual void draw();
    // Ask to leave the world: deleted at the next removal pass.
    virtual void kill();
    // The object's collision circles; the list belongs to the class, not the caller.
    virtual const RegionList& regions() const;
    // A collision or world message from another object. It may move or reshape the
    // receiver and `from`; any other object only through the Game's world operations
    // (the collision pass relies on this to skip pairs that cannot touch).
    virtual void message(Object* from, int message);
    // The boss calls in a wave: lying debris may dissolve.
    virtual void disintegrate();
    // A state digest, at the ticks a replay checks: this object's own fields after those
    // of its base class, references as the places of their targets.
    virtual void digest(StateHasher& h) const;
    // The name a state digest gives this kind of object.
    virtual const char* digestName() const;

    // 0 until the object first enters a world.
    ObjectId id() const { return spawnId; }
    // Once per gameplay tick, before anything moves, for every object in the world (`tick`
    // counts gameplay ticks): keeps what frames drawn before the next tick blend from.
    // Nothing a tick reads or a replay digests.
    virtual void rememberTickStart(unsigned tick);
    // The object left the world: until it is back for a tick's start, frames show it as
    // it is (a held weapon is drawn in its holder's hand, not on its way there).
    void forgetTickStart() { tickStart = 0; }
    // Where a frame drawn now shows the object (what is drawn under and over it follows).
    Vec3 drawnPosition() const;

    bool removed = false;
    Vec3 position;
    bool drawLast = false;

protected:
    // For clone: a copy of every field, the spawn id included.
    Object(const Object&) = default;

    // Draws every region as a red disk on the floor when "showRegions" is 1.
    void drawRegions() const;
    // How far a frame drawn now lies from this object's tick start to its present state:
    // 1 (as it is) for an object that was not in the world when the latest tick began.
    double drawBlend() const;

private:
    friend class World;
    ObjectId spawnId = 0;
    Vec3 tickStartPosition;
    unsigned tickStart = 0;
};
