#pragma once

#include <vector>

#include "world/Vec3.h"

// Soft dark ellipses on the floor, one under each thing that stands on it or flies over
// it, so the eye can tell how deep into the screen each one is. A caster higher above the
// floor throws a smaller, fainter shadow. Collect them with add, then draw them all at once
// on the floor (y = 0) after the floor and its splats and before the objects: they write
// no depth and ignore it, so they never fight the floor for a pixel and never hide anything
// drawn after them.
class Shadows {
public:
    // A caster whose footprint on the floor is `halfWidth` along x and `halfDepth` along
    // z, centred under `where`; where.y is its height above the floor (0: standing on it).
    void add(const Vec3& where, double halfWidth, double halfDepth);
    void draw() const;

private:
    struct Caster {
        double x;
        double z;
        double halfWidth;
        double halfDepth;
        double darkness;
    };
    std::vector<Caster> casters;
};
