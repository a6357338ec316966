#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

#include "world/Object.h"

// The collision pass: every pair of world objects whose regions overlap on the floor
// plane is told by message (Hit and HitLanded, Bump, PickupTouch), the earlier object in
// the world first. Its outcome is defined by the plain walk over all pairs (testPair on
// every pair, the earlier object first, in world order); run gives exactly that outcome,
// message for message, but tests only pairs whose floor footprints can touch: a grid of
// strips along x finds them, so a long level full of objects costs about as much as the
// pairs that really meet.
//
// Messages may move or reshape objects while the pass runs. The pass relies on the
// contract of Object::message: a message changes the position or regions of its receiver
// and its sender only, and reaches any other object only through the Game's world
// operations (adding, removing, broadcasting), which count themselves in `worldEdits`.
// After a message the pass looks at both parties again, and after a world operation at
// every object, so a pair is never skipped on a footprint that is out of date.
class CollisionPass {
public:
    using World = std::list<std::unique_ptr<Object>>;

    // One pass over the world. `worldEdits` is read after each pair that exchanged
    // messages; the Game increments it in every world operation.
    void run(World& world, const std::uint64_t& worldEdits);

    // Every region of `a` against every region of `b`, in list order, sending the
    // messages of each overlapping pair; `a` is the earlier in the world. True when any
    // message was sent.
    static bool testPair(Object& a, Object& b);

private:
    // Where an object's regions can reach on the floor, with a little room for rounding.
    struct Footprint {
        double minX = 0.0;
        double maxX = 0.0;
        double minZ = 0.0;
        double maxZ = 0.0;
        bool none = true;  // no region that can overlap
        bool wide = false;  // too wide, or too far out, for the grid: a candidate for all
        std::int64_t firstCell = 0;
        std::int64_t lastCell = -1;
    };

    static Footprint footprintOf(const Object& object);
    static bool mayTouch(const Footprint& a, const Footprint& b);

    void rebuild(World& world);
    void enter(int index);
    void leave(int index);
    // Looks at an object again after a message; true when its cells changed.
    bool refresh(int index);
    // The later objects that share a cell with `a` (every later object when `a` is wide),
    // after index `after`, ascending.
    void gather(int a, int after);
    int indexOf(const Object* object) const;

    std::vector<Object*> order;
    std::vector<Footprint> footprints;
    std::unordered_map<std::int64_t, std::vector<int>> cells;
    std::vector<int> wideOnes;
    std::vector<int> candidates;
    std::vector<std::uint32_t> seen;
    std::uint32_t stamp = 0;
};
