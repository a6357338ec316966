#pragma once

#include <memory>
#include <vector>

#include "world/Color.h"
#include "world/InkParticle.h"
#include "world/Vec3.h"

class PolygonBatch;

// The pools of flying blood drops and floor splats of a game in progress (part of its
// Match). Every pool is sized once, from "maxSplats", when the Ink is created; when a
// pool is full a random entry is overwritten, so nothing is allocated while the game
// runs. A splat pushed off a full floor is not lost at once: it moves to the fading pool
// and shrinks away. A copy holds the same drops and splats; copying costs the drops and
// splats there are, not the room for them.
class Ink {
public:
    // The ink of the current Game's match.
    static Ink& instance();

    Ink();
    Ink(const Ink& other);
    // Takes the other's drops and splats into this ink's own room.
    Ink& operator=(const Ink& other);
    ~Ink();

    // Drops every drop and splat; the level calls this when it loads.
    void clear();
    // Moves the drops, lands them as splats and shrinks the fading splats.
    void update(int milliseconds);
    // Draws drops, splats and fading splats in that order, untextured, in a few draw calls;
    // each flying drop `blend` of the way from where the latest update found it to where it
    // left it.
    void draw(double blend = 1.0) const;

    // A spray of up to `count` drops along `direction`, spread sideways by `phi`; each
    // drop is made with probability `chance` (a chance of 1 or more makes them all).
    void spray(const Vec3& position, const Vec3& direction, const Color& colour, double speed,
               double speedVariance, double size, double sizeVariance, double phi, int count,
               double chance);
    // `count` drops flying off in every direction.
    void burst(const Vec3& position, double speed, double speedVariance, double size,
               double sizeVariance, int count, const Color& colour);

    int capacity() const { return particles.capacity(); }
    int particleCount() const { return particles.count(); }
    int splatCount() const { return splats.count(); }
    int fadingCount() const { return fading.count(); }
    const InkParticle& particle(int index) const { return particles[index]; }
    const InkParticle& splat(int index) const { return splats[index]; }
    const InkParticle& fadingSplat(int index) const { return fading[index]; }

private:
    // The active entries of a pool of fixed capacity, in a vector that holds nothing
    // else (its storage is reserved at once, so it never grows).
    class Pool {
    public:
        explicit Pool(int capacity);
        Pool(const Pool& other);
        Pool& operator=(const Pool& other);
        int capacity() const { return room; }
        int count() const { return static_cast<int>(entries.size()); }
        const InkParticle& operator[](int index) const { return entries[index]; }
        InkParticle& operator[](int index) { return entries[index]; }
        // The next free entry, or a random active one to overwrite when the pool is
        // full (its old content is still there); null when the pool has no room at all.
        InkParticle* slot();
        bool full() const { return count() == room; }
        // Fills the freed place with the last active entry; order is not kept.
        void remove(int index);
        void clear() { entries.clear(); }

    private:
        int room = 0;
        std::vector<InkParticle> entries;
    };

    void add(const InkParticle& drop);
    void land(const InkParticle& drop);

    Pool particles;
    Pool splats;
    Pool fading;
    // Drawing scratch, made at the first draw; it holds nothing between frames and is
    // never copied.
    mutable std::unique_ptr<PolygonBatch> batch;
};
