#pragma once

#include <memory>
#include <vector>

#include "world/Color.h"
#include "world/InkParticle.h"
#include "world/Vec3.h"

class PolygonBatch;

// The process-wide pools of flying blood drops and floor splats. Every pool is sized
// once, from "maxSplats", when Ink is created; when a pool is full a random entry is
// overwritten, so nothing is allocated while the game runs. A splat pushed off a full
// floor is not lost at once: it moves to the fading pool and shrinks away.
class Ink {
public:
    static Ink& instance();

    Ink(const Ink&) = delete;
    Ink& operator=(const Ink&) = delete;

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
    // A fixed array whose active entries are always the first count() ones.
    class Pool {
    public:
        explicit Pool(int capacity);
        int capacity() const { return static_cast<int>(entries.size()); }
        int count() const { return active; }
        const InkParticle& operator[](int index) const { return entries[index]; }
        InkParticle& operator[](int index) { return entries[index]; }
        // The next free entry, or a random active one to overwrite when the pool is
        // full (its old content is still there); null when the pool has no room at all.
        InkParticle* slot();
        bool full() const { return active == capacity(); }
        // Fills the freed place with the last active entry; order is not kept.
        void remove(int index);
        void clear() { active = 0; }

    private:
        std::vector<InkParticle> entries;
        int active = 0;
    };

    Ink();
    ~Ink();
    void add(const InkParticle& drop);
    void land(const InkParticle& drop);

    Pool particles;
    Pool splats;
    Pool fading;
    // Drawing scratch, made once with the pools; it holds nothing between frames.
    std::unique_ptr<PolygonBatch> batch;
};
