#include "characters/Enemy.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "characters/AttackerTally.h"
#include "characters/Player.h"
#include "core/Difficulty.h"
#include "core/Game.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "core/SettingsCache.h"
#include "world/Head.h"
#include "world/Message.h"
#include "world/Obstacle.h"
#include "world/StateHasher.h"
#include "world/Stick.h"

namespace {

struct EnemyTuning {
    float moveSpeed;
    float punchAttackDist;
    float stickAttackDist;
};

const EnemyTuning& tuning() {
    static SettingsCache<EnemyTuning> values([] {
        Settings& s = Settings::instance();
        EnemyTuning t{};
        t.moveSpeed = s.getFloatWithin("moveSpeed", limits::speed);
        t.punchAttackDist = s.getFloatWithin("punchAttackDist", limits::distance);
        t.stickAttackDist = s.getFloatWithin("stickAttackDist", limits::distance);
        return t;
    });
    return values.get();
}

struct KindTraits {
    float health;
    float speedFactor;
    double weaponChance;
    double bodyChance;
    Color colour;
};

// By kind; 4 is the boss. Any other kind is built as kind 0.
const KindTraits kKinds[] = {
    {40.0f, 0.6f, 0.0, 0.0, Color(1, 0, 0, 1)},
    {60.0f, 0.7f, 0.3, 0.0, Color(0, 0, 1, 1)},
    {100.0f, 0.8f, 0.6, 0.0, Color(0, 1, 0, 1)},
    {150.0f, 0.9f, 1.0, 0.5, Color(1, 1, 0, 1)},
    {1500.0f, 0.4f, 0.0, 0.0, Color(0, 0, 0, 1)},
};

const KindTraits& traitsOf(int kind) {
    constexpr int kindCount = static_cast<int>(sizeof(kKinds) / sizeof(kKinds[0]));
    return kind >= 0 && kind < kindCount ? kKinds[kind] : kKinds[0];
}

// Whether anything within reach could become a weapon. An ink pot or a fallen player
// never can, and trying to pick one up instead of walking on would stall the enemy
// beside it for good.
bool offersAWeapon(const std::vector<Handle<Object>>& candidates) {
    for (const Handle<Object>& handle : candidates) {
        const Object* const candidate = handle.get();
        if (candidate == nullptr || candidate->removed) {
            continue;
        }
        if (dynamic_cast<const Stick*>(candidate) != nullptr || dynamic_cast<const Head*>(candidate) != nullptr) {
            return true;
        }
        if (dynamic_cast<const StickFigure*>(candidate) != nullptr && dynamic_cast<const Player*>(candidate) == nullptr) {
            return true;
        }
    }
    return false;
}

int& attackers(int slot) { return AttackerTally::instance().count(slot - 1); }

// A fetch that has not come this much nearer its weapon for kFetchPatience ms has
// stalled; the enemy then wants no weapon for kFetchPause ms.
constexpr double kFetchProgress = 0.05;
constexpr int kFetchPatience = 1000;
constexpr int kFetchPause = 3000;

// Walking less than kJamDistance in kJamTime ms is walking on the spot.
constexpr double kJamDistance = 0.5;
constexpr int kJamTime = 1000;

// Whether p lies within the visible x range at its own depth.
bool inView(const Vec3& p) {
    const Level& level = Game::instance().getLevel();
    const double distance = 20.0 - p.z;
    return level.leftEdge(distance) < p.x && p.x < level.rightEdge(distance);
}

// Whether a figure could stand at p: on the floor and in view.
bool standable(const Vec3& p) {
    const Level& level = Game::instance().getLevel();
    return p.z >= level.backLimit() && p.z <= level.frontLimit() && inView(p);
}

double flatDistanceSquared(const Vec3& a, const Vec3& b) {
    const double dx = a.x - b.x;
    const double dz = a.z - b.z;
    return dx * dx + dz * dz;
}

constexpr double kTurn = 2.0 * 3.14159265358979323846;
constexpr double kArcStep = kTurn / 36.0;

// Whether the way round the circle (centre, radius) that starts at its grazing point
// `start`, seen from `from`, keeps to the floor and the view until `goal` comes into
// sight past it. That way bends away from the straight line to the goal, through the
// circle's point farthest from the line on `start`'s side; an obstacle near the front
// or back of the floor leaves only one side to go round.
bool wayRoundIsOpen(const Vec3& start, const Vec3& centre, double radius, const Vec3& from, const Vec3& goal) {
    const double lineX = goal.x - from.x;
    const double lineZ = goal.z - from.z;
    const double side = lineX * (start.z - from.z) - lineZ * (start.x - from.x) < 0.0 ? -1.0 : 1.0;
    double angle = std::atan2(start.z - centre.z, start.x - centre.x);
    const double farthest = std::atan2(side * lineX, -side * lineZ);
    const double step = std::remainder(farthest - angle, kTurn) < 0.0 ? -kArcStep : kArcStep;
    const double goalAngle = std::atan2(goal.z - centre.z, goal.x - centre.x);
    const double goalDistance = std::hypot(goal.x - centre.x, goal.z - centre.z);
    const double sight = std::fmax(goalDistance > radius ? std::acos(radius / goalDistance) : 0.0, kArcStep / 2.0);
    for (int i = 0; i * kArcStep <= kTurn; ++i, angle += step) {
        if (!standable(Vec3(centre.x + radius * std::cos(angle), 0.0, centre.z + radius * std::sin(angle)))) {
            return false;
        }
        if (std::fabs(std::remainder(angle - goalAngle, kTurn)) <= sight) {
            return true;
        }
    }
    return true;
}

}  // namespace

Enemy::Enemy(int kind_) : StickFigure(Color(0, 0, 0, 1)), kind(kind_) {
    const KindTraits& traits = traitsOf(kind);
    setColor(traits.colour);
    const Difficulty::Level level = Difficulty::inForce();
    const float health =
        level == Difficulty::Normal ? traits.health : traits.health * Difficulty::enemyHealthFactor(level);
    setHealth(health);
    setMaxHealth(health);
    speedFactor = traits.speedFactor;
    weaponChance = traits.weaponChance;
    bodyChance = traits.bodyChance;
    startDelay = 750 + random15() % 500;
    roll = randomUnit();
}

Enemy::~Enemy() = default;

Player* Enemy::livingPlayer(int slot) {
    const Game& game = Game::instance();
    Player* const player = slot == 1 ? game.getPlayer1() : game.getPlayer2();
    return player != nullptr && !player->isDead() ? player : nullptr;
}

void Enemy::update(int milliseconds) {
    // Killed after the last afterUpdate (collision or off-screen pass): about to be deleted.
    if (targetLeft()) {
        retarget(nullptr);
    }
    // A claim holds only while its player lives: one who fell frees the place, so a player
    // who gets up again is not left with phantom attackers that keep newcomers waiting.
    if (claimedSlot != 0 && target != livingPlayer(claimedSlot)) {
        retarget(nullptr);
    }

    if (isDead()) {
        StickFigure::update(milliseconds);
        return;
    }
    if (startTimer < startDelay) {
        startTimer += milliseconds;
        StickFigure::update(milliseconds);
        return;
    }
    if (isBeingRipped()) {
        StickFigure::update(milliseconds);
        return;
    }
    if (heldWeapon() == nullptr) {
        thrown = false;
    }
    fetchPause = std::max(0, fetchPause - milliseconds);

    switch (state) {
        case Decide: decide(); break;
        case ApproachPlayer1: approach(1, milliseconds); break;
        case ApproachPlayer2: approach(2, milliseconds); break;
        case ThrowAtPlayer1: throwAt(1); break;
        case ThrowAtPlayer2: throwAt(2); break;
        case FetchWeapon: fetch(milliseconds); break;
        case HoldOff: holdOff(); break;
        case Striking: strike(milliseconds); break;
        case Idle: break;
        default: state = Decide; break;
    }
    StickFigure::update(milliseconds);
}

void Enemy::afterUpdate() {
    StickFigure::afterUpdate();
    // A weapon lying in the world can wear out or dissolve; the world deletes it without
    // telling anyone.
    if (targetLeft()) {
        retarget(nullptr);
    }
    // Leaving the world for good: nobody is pressed by this enemy any more.
    if (removed) {
        release();
    }
}

bool Enemy::targetLeft() const {
    const Object* const object = target.get();
    return target.isSet() && (object == nullptr || object->removed);
}

void Enemy::forgetOthers() {
    StickFigure::forgetOthers();
    retarget(nullptr);
}

Object* Enemy::wantedWeapon() const {
    if (heldWeapon() != nullptr || !(weaponChance > roll) || fetchPause > 0) {
        return nullptr;
    }
    return Game::instance().findNearestTarget(position);
}

void Enemy::release() {
    if (claimedSlot != 0) {
        --attackers(claimedSlot);
        claimedSlot = 0;
    }
}

void Enemy::retarget(Object* newTarget) {
    release();
    target = newTarget;
}

void Enemy::claim(int slot) {
    Player* const player = livingPlayer(slot);
    if (claimedSlot == slot && target == player) {
        return;
    }
    retarget(player);
    ++attackers(slot);
    claimedSlot = slot;
}

void Enemy::startFetch(Object* weapon) {
    retarget(weapon);
    state = FetchWeapon;
    fetchClosest = std::numeric_limits<double>::infinity();
    fetchStalled = 0;
}

void Enemy::holdOffOrFetch(Object* wanted) {
    if (wanted != nullptr) {
        startFetch(wanted);
    } else {
        retarget(nullptr);
        state = HoldOff;
    }
}

void Enemy::decide() {
    const int c1 = attackers(1);
    const int c2 = attackers(2);
    Player* const p1 = livingPlayer(1);
    Player* const p2 = livingPlayer(2);
    roll = randomUnit();
    Object* const wanted = wantedWeapon();
    clearJam();

    if (p1 != nullptr && p2 != nullptr) {
        if (target == p1 || (c1 < maxAttackers && c1 < c2)) {
            fight(1, wanted);
        } else if (target != p2 && c2 >= maxAttackers) {
            holdOffOrFetch(wanted);
        } else {
            fight(2, wanted);
        }
    } else if (p1 != nullptr) {
        if (c1 >= maxAttackers) {
            holdOffOrFetch(wanted);
        } else {
            fight(1, wanted);
        }
    } else if (p2 != nullptr) {
        if (c2 >= maxAttackers) {
            holdOffOrFetch(wanted);
        } else {
            fight(2, wanted);
        }
    }
}

void Enemy::fight(int slot, Object* wanted) {
    const Player* const player = livingPlayer(slot);
    if (wanted != nullptr &&
        position.distanceSquared(wanted->position) < position.distanceSquared(player->position)) {
        startFetch(wanted);
        return;
    }
    claim(slot);
    Object* const held = heldWeapon();
    const bool throwable = dynamic_cast<Head*>(held) != nullptr || dynamic_cast<StickFigure*>(held) != nullptr;
    if (throwable && !thrown) {
        state = slot == 1 ? ThrowAtPlayer1 : ThrowAtPlayer2;
    } else {
        state = slot == 1 ? ApproachPlayer1 : ApproachPlayer2;
    }
}

void Enemy::followPlayer(int slot) {
    if (livingPlayer(slot) == nullptr) {
        retarget(nullptr);
    } else {
        claim(slot);
    }
}

void Enemy::approach(int slot, int milliseconds) {
    followPlayer(slot);
    approachTarget(milliseconds);
}

void Enemy::approachTarget(int milliseconds) {
    const Object* const chased = target.get();
    if (chased == nullptr) {
        state = Decide;
        return;
    }
    const Vec3 p = chased->position;
    if (inStrikingRange(p)) {
        clearJam();
        return;
    }
    const double reach = tuning().punchAttackDist;
    Vec3 goal = p;
    if (const auto* obstacle = dynamic_cast<const Obstacle*>(Game::instance().findNearestObstacle(position))) {
        const Vec3 right(p.x + 2.0 * reach, 0.0, p.z);
        const Vec3 left(p.x - 2.0 * reach, 0.0, p.z);
        const double radiusSquared = obstacle->getRadius() * obstacle->getRadius();
        const bool rightFree = right.distanceSquared(obstacle->position) > radiusSquared;
        const bool leftFree = left.distanceSquared(obstacle->position) > radiusSquared;
        if (rightFree && leftFree) {
            const bool nearerLeft = std::fabs(left.x - position.x) <= std::fabs(right.x - position.x);
            goal = nearerLeft != otherStandPoint ? left : right;
        } else if (rightFree) {
            goal = right;
        } else if (leftFree) {
            goal = left;
        }
    }
    steerTowards(goal);
    watchForJam(milliseconds);
}

void Enemy::watchForJam(int milliseconds) {
    if (getFigureState() != FigureState::Walking) {
        jamClock = 0;
        jamMark = position;
        return;
    }
    jamClock += milliseconds;
    if (jamClock < kJamTime) {
        return;
    }
    if (flatDistanceSquared(position, jamMark) < kJamDistance * kJamDistance) {
        otherStandPoint = !otherStandPoint;
    }
    jamClock = 0;
    jamMark = position;
}

void Enemy::clearJam() {
    otherStandPoint = false;
    jamClock = 0;
    jamMark = position;
}

bool Enemy::inStrikingRange(const Vec3& p) {
    const double reach = tuning().punchAttackDist;
    const double distance = (p - position).length();
    const double depth = std::fabs(p.z - position.z);
    const double range = heldWeapon() != nullptr ? tuning().stickAttackDist + 2.0 * reach : 3.0 * reach;
    if (!(distance < range && depth < 1.5 * reach)) {
        return false;
    }
    setFacingLeft(p.x - position.x < 0.0);
    state = Striking;
    return true;
}

void Enemy::throwAt(int slot) {
    followPlayer(slot);
    const Object* const chased = target.get();
    if (chased == nullptr) {
        state = Decide;
        return;
    }
    const Vec3 p = chased->position;
    if (std::fabs(p.z - position.z) < throwDepthTolerance) {
        setFacingLeft(!(position.x <= p.x));
        attack();
        thrown = true;
        state = Decide;
        return;
    }
    steerTowards(Vec3(position.x, 0.0, p.z));
}

void Enemy::fetch(int milliseconds) {
    const Object* const weapon = target.get();
    if (weapon == nullptr || heldWeapon() != nullptr) {
        state = Decide;
        return;
    }
    if (offersAWeapon(candidates)) {
        tryPickUp();
        state = Decide;
        return;
    }
    // Held at the edge of the view, or walking round and round something in the way,
    // the enemy would wait for that weapon for ever. Only time in which it could have
    // walked counts: reeling from a blow it stands still however open the way is.
    const double distance = std::sqrt(flatDistanceSquared(position, weapon->position));
    if (distance < fetchClosest - kFetchProgress) {
        fetchClosest = distance;
        fetchStalled = 0;
    } else if (canWalk()) {
        fetchStalled += milliseconds;
    }
    const bool outOfReach = fetchStalled > kFetchPatience;
    if (outOfReach || !inView(weapon->position)) {
        // Beyond the view the search no longer offers it; out of reach it would, so the
        // enemy leaves weapons alone for a while.
        fetchPause = outOfReach ? kFetchPause : 0;
        retarget(nullptr);
        state = Decide;
        return;
    }
    steerTowards(weapon->position);
}

void Enemy::holdOff() {
    if (Object* const wanted = wantedWeapon()) {
        startFetch(wanted);
    }
    const Player* const p1 = livingPlayer(1);
    const Player* const p2 = livingPlayer(2);
    const int c1 = attackers(1);
    const int c2 = attackers(2);

    if (p1 != nullptr && p2 != nullptr) {
        if (c1 >= maxAttackers && c2 >= maxAttackers) {
            const double d1 = (p1->position - position).length();
            const double d2 = (p2->position - position).length();
            if (d1 < d2) {
                keepDistance(*p1, d1);
            } else if (d2 < d1) {
                keepDistance(*p2, d2);
            } else {
                waiting = true;
            }
        } else {
            state = Decide;
        }
    } else if (p1 != nullptr || p2 != nullptr) {
        const Player& player = p1 != nullptr ? *p1 : *p2;
        const int claims = p1 != nullptr ? c1 : c2;
        if (claims >= maxAttackers) {
            keepDistance(player, (player.position - position).length());
        } else {
            waiting = false;
            state = Decide;
        }
    }
}

void Enemy::keepDistance(const Player& player, double distance) {
    if (waiting && distance > holdFar) {
        waiting = false;
        steerTowards(player.position);
    } else if (waiting) {
        return;
    } else if (distance > holdNear) {
        steerTowards(player.position);
    } else {
        waiting = true;
    }
}

int Enemy::approachStateFor(const Object* figure) const {
    if (figure != nullptr && figure == livingPlayer(1)) {
        return ApproachPlayer1;
    }
    if (figure != nullptr && figure == livingPlayer(2)) {
        return ApproachPlayer2;
    }
    return state;
}

void Enemy::strike(int milliseconds) {
    const auto* figure = dynamic_cast<const StickFigure*>(target.get());
    if (figure == nullptr || figure->isDead()) {
        state = Decide;
        return;
    }
    attackTimer += milliseconds;
    if (attackTimer <= attackInterval + attackJitter) {
        if (!inStrikingRange(figure->position)) {
            state = approachStateFor(figure);
        }
        return;
    }
    attack();
    state = approachStateFor(target.get());
    attackJitter = random15() % 400 - 200;
    attackTimer = 0;
}

void Enemy::tryPickUp() {
    bodyRoll = randomUnit();
    bool wholeBody = false;
    bool stickAvailable = false;
    bool headAvailable = false;
    for (const Handle<Object>& handle : candidates) {
        const Object* const candidate = handle.get();
        if (candidate == nullptr || candidate->removed) {
            continue;
        }
        if (const auto* figure = dynamic_cast<const StickFigure*>(candidate)) {
            const StickFigModel& body = figure->getModel();
            wholeBody = wholeBody || figure->canLoseLimb(WholeBody);
            stickAvailable = stickAvailable || body.isAttached(LimbArm1) || body.isAttached(LimbArm2) ||
                             body.isAttached(LimbLeg1) || body.isAttached(LimbLeg2);
            headAvailable = headAvailable || body.isAttached(LimbHead);
        } else if (dynamic_cast<const Stick*>(candidate) != nullptr) {
            stickAvailable = true;
        } else if (dynamic_cast<const Head*>(candidate) != nullptr) {
            headAvailable = true;
        }
    }

    auto takeStick = [this] {
        pickUp(ArmPart);
        if (heldWeapon() == nullptr) {
            pickUp(LegPart);
        }
    };

    if (wholeBody && bodyChance > bodyRoll) {
        pickUp(WholeBody);
    } else if (headAvailable && stickAvailable) {
        const Player* const p1 = livingPlayer(1);
        const Player* const p2 = livingPlayer(2);
        double nearest = 0.0;
        if (p1 != nullptr && p2 != nullptr) {
            nearest = std::fmin((p1->position - position).length(), (p2->position - position).length());
        } else if (p1 != nullptr || p2 != nullptr) {
            nearest = ((p1 != nullptr ? p1 : p2)->position - position).length();
        }
        if (nearest <= preferStickRange) {
            takeStick();
        } else {
            pickUp(HeadPart);
        }
    } else if (headAvailable) {
        pickUp(HeadPart);
    } else if (stickAvailable) {
        takeStick();
    }
}

void Enemy::steerTowards(const Vec3& goal) {
    Vec3 direction(goal.x - position.x, 0.0, goal.z - position.z);
    const double lengthSquared = direction.x * direction.x + direction.z * direction.z;
    if (!(lengthSquared > 0.0)) {
        return;
    }
    if (const auto* obstacle = dynamic_cast<const Obstacle*>(Game::instance().findNearestObstacle(position))) {
        const Vec3& centre = obstacle->position;
        const double t =
            ((centre.x - position.x) * direction.x + (centre.z - position.z) * direction.z) / lengthSquared;
        if (t >= 0.0 && t <= 1.0) {
            const double clearance = obstacle->getRadius() + obstacleClearance;
            const Vec3 closest = position + (goal - position) * t;
            if (flatDistanceSquared(closest, centre) <= clearance * clearance) {
                direction = detour(direction, centre, clearance);
            }
        }
    }
    direction.y = 0.0;
    const double length = direction.length();
    if (length > 0.0) {
        const float speed = tuning().moveSpeed * speedFactor;
        move(direction / length * static_cast<double>(speed));
    }
}

// Walks towards one of the two points where the view from here grazes the clearance
// circle: the only side that can be walked round, else the side already taken, else
// the one on the goal's side.
Vec3 Enemy::detour(const Vec3& direction, const Vec3& centre, double clearance) {
    const double clearanceSquared = clearance * clearance;
    if (clearanceSquared >= flatDistanceSquared(position, centre)) {
        return escape(direction, centre);
    }
    const Vec3 middle((centre.x + position.x) / 2.0, 0.0, (centre.z + position.z) / 2.0);
    const double half = std::sqrt(flatDistanceSquared(position, middle));
    const double halfSquared = half * half;
    const Vec3 across(centre.x - middle.x, 0.0, centre.z - middle.z);
    const Vec3 base = Vec3((middle.x + centre.x) / 2.0, 0.0, (middle.z + centre.z) / 2.0) +
                      across * ((halfSquared - clearanceSquared) / (2.0 * halfSquared));
    const double spread = ((half + clearance) * (half + clearance) - halfSquared) *
                          (halfSquared - (clearance - half) * (clearance - half));
    const double s = std::sqrt(std::fmax(spread, 0.0)) / (2.0 * halfSquared);
    const Vec3 first(base.x + s * across.z, 0.0, base.z - s * across.x);
    const Vec3 second(base.x - s * across.z, 0.0, base.z + s * across.x);
    const Vec3 u(first.x - position.x, 0.0, first.z - position.z);
    const Vec3 v(second.x - position.x, 0.0, second.z - position.z);

    // A way round that leaves the floor or the view would hold the enemy against the
    // obstacle at the edge: take the other one.
    const Vec3 goal = position + direction;
    const bool firstOpen = wayRoundIsOpen(first, centre, clearance, position, goal);
    if (firstOpen != wayRoundIsOpen(second, centre, clearance, position, goal)) {
        detourSide = firstOpen ? 1 : 2;
        return firstOpen ? u : v;
    }

    // Every step round the obstacle crosses the straight line to the goal and flips the
    // quadrant test below, which would zig-zag on the spot; keep to the side taken while
    // its point still leads towards the goal.
    if (detourSide == 1 && u.dot(direction) > 0.0) {
        return u;
    }
    if (detourSide == 2 && v.dot(direction) > 0.0) {
        return v;
    }
    auto sameWay = [&direction](const Vec3& w) {
        return (w.x < 0.0) == (direction.x < 0.0) && (w.z < 0.0) == (direction.z < 0.0);
    };
    if (sameWay(u)) {
        detourSide = 1;
        return u;
    }
    if (sameWay(v)) {
        detourSide = 2;
        return v;
    }
    return detourSide == 2 ? v : u;
}

// Inside the clearance circle (or on its rim) no point grazes it: step out diagonally,
// away from the centre and sideways towards the goal.
Vec3 Enemy::escape(const Vec3& direction, const Vec3& centre) {
    Vec3 away(position.x - centre.x, 0.0, position.z - centre.z);
    const double awayLength = away.length();
    if (!(awayLength > 0.0)) {
        return direction;  // on the centre itself every way leads out
    }
    away = away / awayLength;
    const Vec3 heading = direction / direction.length();
    Vec3 sideways = heading - away * heading.dot(away);
    const double sidewaysLength = sideways.length();
    if (sidewaysLength > 1e-9) {
        sideways = sideways / sidewaysLength;
    } else if (detourSide == 2) {
        sideways = Vec3(away.z, 0.0, -away.x);
    } else {
        sideways = Vec3(-away.z, 0.0, away.x);
    }
    return away + sideways;
}

void Enemy::message(Object* from, int message) {
    switch (message) {
        case Hit:
            if (state == HoldOff && from != nullptr) {
                if (from == livingPlayer(1)) {
                    state = ApproachPlayer1;
                } else if (from == livingPlayer(2)) {
                    state = ApproachPlayer2;
                }
            }
            break;
        case PickupTouch:
            if (heldWeapon() == nullptr) {
                const auto* figure = dynamic_cast<const StickFigure*>(from);
                const bool fighter =
                    dynamic_cast<const Enemy*>(from) != nullptr || dynamic_cast<const Player*>(from) != nullptr;
                if (!(fighter && !figure->isDead())) {
                    candidates.push_back(from);
                }
            }
            return;
        case Removed:
            if (from == target) {
                retarget(nullptr);
            }
            break;
        default:
            break;
    }
    StickFigure::message(from, message);
}

void Enemy::digest(StateHasher& h) const {
    StickFigure::digest(h);
    h << kind << state << h.placeOf(target) << speedFactor << weaponChance << bodyChance << startDelay << waiting
      << detourSide;
}

const char* Enemy::digestName() const { return "Enemy"; }
