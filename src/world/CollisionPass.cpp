#include "world/CollisionPass.h"

#include <algorithm>
#include <cmath>

#include "world/Message.h"

namespace {

// Strips along x about as wide as a figure with its reach; an object whose regions span
// more strips than kMostCells (or lie beyond kFarthest) is a candidate for every object.
constexpr double kCellWidth = 4.0;
constexpr std::int64_t kMostCells = 16;
constexpr double kFarthest = 1e12;
// Room added around each footprint: relative, far above the rounding of the exact test,
// and absolute, for circles so small that their squared distance underflows to 0.
constexpr double kRelativeRoom = 1e-9;
constexpr double kAbsoluteRoom = 1e-150;

bool overlap(const Object& a, const Region& ra, const Object& b, const Region& rb) {
    if (ra.radius <= 0.0 || rb.radius <= 0.0) {
        return false;
    }
    Vec3 difference = (a.position + ra.offset) - (b.position + rb.offset);
    difference.y = 0.0;
    const double reach = ra.radius + rb.radius;
    return difference.lengthSquared() <= reach * reach;
}

// Tells both parties of one overlapping region pair, A being earlier in the world.
bool deliver(Object& a, const Region& ra, Object& b, const Region& rb) {
    if (ra.type == RegionType::Attack && rb.type == RegionType::Body) {
        b.message(&a, Hit);
        a.message(&b, HitLanded);
    } else if (ra.type == RegionType::Body && rb.type == RegionType::Attack) {
        a.message(&b, Hit);
        b.message(&a, HitLanded);
    } else if (ra.type == RegionType::Solid && rb.type == RegionType::Solid) {
        a.message(&b, Bump);
        b.message(&a, Bump);
    } else if (ra.type == RegionType::Reach && rb.type == RegionType::Pickup) {
        a.message(&b, PickupTouch);
    } else if (ra.type == RegionType::Pickup && rb.type == RegionType::Reach) {
        b.message(&a, PickupTouch);
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool CollisionPass::testPair(Object& a, Object& b) {
    bool sent = false;
    const RegionList& aRegions = a.regions();
    const RegionList& bRegions = b.regions();
    for (const Region& ra : aRegions) {
        for (const Region& rb : bRegions) {
            if (overlap(a, ra, b, rb)) {
                sent = deliver(a, ra, b, rb) || sent;
            }
        }
    }
    return sent;
}

CollisionPass::Footprint CollisionPass::footprintOf(const Object& object) {
    Footprint f;
    for (const Region& region : object.regions()) {
        if (!(region.radius > 0.0)) {
            continue;  // never overlaps (a NaN radius neither)
        }
        // The same sums as the exact test, so the centres agree to the last bit.
        const double x = object.position.x + region.offset.x;
        const double z = object.position.z + region.offset.z;
        const double reach = region.radius + kRelativeRoom * (std::fabs(x) + std::fabs(z) + region.radius) +
                             kAbsoluteRoom;
        const double minX = x - reach;
        const double maxX = x + reach;
        const double minZ = z - reach;
        const double maxZ = z + reach;
        if (f.none) {
            f.minX = minX;
            f.maxX = maxX;
            f.minZ = minZ;
            f.maxZ = maxZ;
            f.none = false;
        } else {
            f.minX = std::min(f.minX, minX);
            f.maxX = std::max(f.maxX, maxX);
            f.minZ = std::min(f.minZ, minZ);
            f.maxZ = std::max(f.maxZ, maxZ);
        }
        // NaN and infinity fail this too: the exact test alone can judge them.
        if (!(std::fabs(minX) <= kFarthest && std::fabs(maxX) <= kFarthest && std::fabs(minZ) <= kFarthest &&
              std::fabs(maxZ) <= kFarthest)) {
            f.wide = true;
        }
    }
    if (!f.none && !f.wide) {
        f.firstCell = static_cast<std::int64_t>(std::floor(f.minX / kCellWidth));
        f.lastCell = static_cast<std::int64_t>(std::floor(f.maxX / kCellWidth));
        f.wide = f.lastCell - f.firstCell >= kMostCells;
    }
    return f;
}

bool CollisionPass::mayTouch(const Footprint& a, const Footprint& b) {
    if (a.none || b.none) {
        return false;
    }
    if (a.wide || b.wide) {
        return true;
    }
    return a.minX <= b.maxX && b.minX <= a.maxX && a.minZ <= b.maxZ && b.minZ <= a.maxZ;
}

void CollisionPass::rebuild(World& world) {
    order.clear();
    for (const std::unique_ptr<Object>& object : world) {
        order.push_back(object.get());
    }
    // Strips the world has left behind are forgotten now and then, so a long game does
    // not keep one for every stretch of floor it ever crossed.
    if (cells.size() > 4 * order.size() + 64) {
        cells.clear();
    }
    for (auto& cell : cells) {
        cell.second.clear();
    }
    wideOnes.clear();
    footprints.resize(order.size());
    seen.resize(order.size(), 0);
    for (int i = 0; i < static_cast<int>(order.size()); ++i) {
        footprints[i] = footprintOf(*order[i]);
        enter(i);
    }
}

void CollisionPass::enter(int index) {
    const Footprint& f = footprints[index];
    if (f.none) {
        return;
    }
    if (f.wide) {
        wideOnes.push_back(index);
        return;
    }
    for (std::int64_t cell = f.firstCell; cell <= f.lastCell; ++cell) {
        cells[cell].push_back(index);
    }
}

void CollisionPass::leave(int index) {
    const auto drop = [index](std::vector<int>& members) {
        const auto it = std::find(members.begin(), members.end(), index);
        if (it != members.end()) {
            *it = members.back();
            members.pop_back();
        }
    };
    const Footprint& f = footprints[index];
    if (f.none) {
        return;
    }
    if (f.wide) {
        drop(wideOnes);
        return;
    }
    for (std::int64_t cell = f.firstCell; cell <= f.lastCell; ++cell) {
        drop(cells[cell]);
    }
}

bool CollisionPass::refresh(int index) {
    const Footprint now = footprintOf(*order[index]);
    Footprint& was = footprints[index];
    const bool sameCells = now.none == was.none && now.wide == was.wide && now.firstCell == was.firstCell &&
                           now.lastCell == was.lastCell;
    if (sameCells) {
        was = now;
        return false;
    }
    leave(index);
    was = now;
    enter(index);
    return true;
}

void CollisionPass::gather(int a, int after) {
    candidates.clear();
    if (++stamp == 0) {
        std::fill(seen.begin(), seen.end(), 0);
        stamp = 1;
    }
    const Footprint& f = footprints[a];
    if (f.none) {
        return;
    }
    const int count = static_cast<int>(order.size());
    if (f.wide) {
        for (int j = after + 1; j < count; ++j) {
            candidates.push_back(j);
        }
        return;
    }
    const auto take = [&](int j) {
        if (j > after && seen[j] != stamp) {
            seen[j] = stamp;
            candidates.push_back(j);
        }
    };
    for (std::int64_t cell = f.firstCell; cell <= f.lastCell; ++cell) {
        const auto it = cells.find(cell);
        if (it != cells.end()) {
            for (const int j : it->second) take(j);
        }
    }
    for (const int j : wideOnes) take(j);
    std::sort(candidates.begin(), candidates.end());
}

int CollisionPass::indexOf(const Object* object) const {
    const auto it = std::find(order.begin(), order.end(), object);
    return it == order.end() ? -1 : static_cast<int>(it - order.begin());
}

void CollisionPass::run(World& world, const std::uint64_t& worldEdits) {
    rebuild(world);
    for (int a = 0; a < static_cast<int>(order.size()); ++a) {
        gather(a, a);
        for (std::size_t k = 0; k < candidates.size(); ++k) {
            const int b = candidates[k];
            if (!mayTouch(footprints[a], footprints[b])) {
                continue;
            }
            Object* const first = order[a];
            Object* const second = order[b];
            const std::uint64_t editsBefore = worldEdits;
            if (!testPair(*first, *second)) {
                continue;
            }
            int resumeAfter = b;
            if (worldEdits != editsBefore) {
                // Anything may have changed: number the world afresh and go on after the
                // same pair. No message takes the pair itself out of the world; if one
                // ever did, the rest of the pass would have no place to go on from.
                rebuild(world);
                a = indexOf(first);
                resumeAfter = indexOf(second);
                if (a < 0 || resumeAfter < 0) {
                    return;
                }
            } else {
                const bool firstMoved = refresh(a);
                refresh(b);
                if (!firstMoved) {
                    continue;
                }
            }
            gather(a, resumeAfter);
            k = static_cast<std::size_t>(-1);  // the loop's ++k starts the new list at 0
        }
    }
}
