#include "Fighter.h"

#include <algorithm>
#include <cmath>

#include "characters/Boss.h"
#include "characters/Enemy.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "world/Head.h"
#include "world/Health.h"
#include "world/Level.h"
#include "world/Obstacle.h"
#include "world/Stick.h"

namespace {

// The view's edges are measured at a depth from the eye; the floor's front is this far
// from it.
constexpr double kEyeDistance = 20.0;
// A fist is a circle of radius 1 held 1.5 ahead; it lands on a body of radius 1. A
// swung stick's circle sits 1.75 ahead with radius 1.6.
constexpr double kFistAhead = 1.5;
constexpr double kFistRadius = 1.0;
constexpr double kFistReach = 1.9;
constexpr double kStickAhead = 1.75;
constexpr double kStickRadius = 1.6;
constexpr double kStickReach = 2.6;
// An enemy starts its blow once within 3 of its target (3.6 holding a stick): standing a
// little farther, a fist still lands on it and its own does not. A stick of our own
// reaches farther still.
constexpr double kSpacing = 3.2;
constexpr double kStickSpacing = 3.9;
constexpr double kFistStrikes = 3.0;
constexpr double kStickStrikes = 3.6;
// Ticks spent waiting for an enemy's blow to miss before it is taken on all the same: one
// that holds off or has just arrived may never strike.
constexpr int kLongestWait = 40;
// Beyond its striking distance by this much, an enemy whose blow is due is no danger yet.
constexpr double kMenaceMargin = 0.6;
// A shot head bursts at head height, 5 up, and hurts within 8 of the burst: on the floor
// that is 6.25 around where it struck. Shots are taken from farther, in case the target
// walks on while the shot is readied (the boss is slow), and reach about 25 before the
// head falls.
constexpr double kBlast = 6.5;
constexpr double kShotRange = 12.5;
constexpr double kSafeShot = 10.5;
constexpr double kSafeBossShot = 9.5;
constexpr double kLongestShot = 24.0;
// A shot head and a body of radius 1 meet when this close in depth.
constexpr double kShotWidth = 1.5;
// How far a partner may walk while a shot is readied.
constexpr double kPartnerSteps = 4.0;
// Picking up or firing a corpse leaves the figure helpless for about a third of a second:
// no enemy may be nearer than this meanwhile.
constexpr double kQuietRadius = 6.5;
// Loose sticks farther than this are not worth the walk.
constexpr double kStickFetch = 8.0;
// A minion this close is fought with fists rather than shot at.
constexpr double kCloseQuarters = 3.0;
// Minions nearer than this are shot before the boss.
constexpr double kMinionFirst = 9.0;
// How far past the farthest point reached in peace the figure may step while enemies are
// about.
constexpr double kFrontierSlack = 1.5;
// Enemies this near on both sides have the figure surrounded.
constexpr double kFlanked = 5.0;
constexpr float kLowHealth = 150.0f;
// Milliseconds from a punch being thrown to its landing.
constexpr int kBlowWarning = 190;
constexpr int kNeverStrike = 1 << 30;
// Ticks from the end of an enemy's wind-up to its next blow: a second from its start.
constexpr int kBlowPause = 38;

int sign(double value) { return value < 0.0 ? -1 : 1; }

double flatDistance(const Vec3& a, const Vec3& b) { return std::hypot(a.x - b.x, a.z - b.z); }

bool isBoss(const Enemy& enemy) { return dynamic_cast<const Boss*>(&enemy) != nullptr; }

bool inView(const Game& game, const Vec3& where, double margin) {
    const Level& level = game.getLevel();
    const double distance = kEyeDistance - where.z;
    return where.x > level.leftEdge(distance) + margin && where.x < level.rightEdge(distance) - margin;
}

bool ready(const StickFigure& figure) {
    const FigureState state = figure.getFigureState();
    return state == FigureState::Standing || state == FigureState::Walking;
}

bool facing(const StickFigure& figure, const Vec3& at) { return figure.isFacingLeft() == (at.x < figure.position.x); }

// Whether a fist or stick circle `ahead` of `striker`, of `reach` to a body's middle,
// would land on a body at `at` once the striker faces it.
bool within(const StickFigure& striker, const Vec3& at, double ahead, double reach) {
    const double past = std::abs(at.x - striker.position.x) - ahead;
    const double depth = at.z - striker.position.z;
    return past * past + depth * depth <= reach * reach;
}

// Steps towards a point, stopping within `slack` of it along the level and a little
// closer in depth.
void go(const Vec3& from, const Vec3& point, double slack, int& x, int& z) {
    const Vec3 gap = point - from;
    x = std::abs(gap.x) > slack ? sign(gap.x) : 0;
    z = std::abs(gap.z) > std::min(slack, 0.3) ? sign(gap.z) : 0;
}

}  // namespace

Fighter::Fighter(int player, bool everyWeapon_, int keysOf)
    : keys(keysOf != 0 ? keysOf : player), number(player), everyWeapon(everyWeapon_) {}

void Fighter::act(const Game& game, Keyboard& keyboard, int tick, bool passive) {
    const Player* me = number == 1 ? game.getPlayer1() : game.getPlayer2();
    const Player* partner = number == 1 ? game.getPlayer2() : game.getPlayer1();
    Steps steps;
    watchBlows(game, tick);
    if (me != nullptr && !me->isDead()) {
        // Enemies come in as the players pass the marks of the level script: going no
        // farther than before while any is about keeps them coming a few at a time.
        const double scroll = game.getLevel().scroll();
        if (scroll < lastScroll) frontier = me->position.x;
        lastScroll = scroll;
        const bool enemiesAbout = game.findNearestEnemy(me->position) != nullptr;
        if (!enemiesAbout) frontier = std::max(frontier, me->position.x);
        // A boss waits at the level's last stop and needs the whole view to keep away from.
        const bool boss = game.findNearestEnemy(me->position, isBoss) != nullptr;
        farthestStep = enemiesAbout && !boss ? frontier + kFrontierSlack : 1e9;
        if (passive) {
            steps.x = 1;
        } else {
            steps = decide(Sight{game, *me, partner != nullptr && !partner->isDead() ? partner : nullptr,
                                 keyboard, tick});
        }
        // Held in one place for long, whatever it was after is out of reach: walk to
        // the middle of the floor for a while.
        if (stuckTicks > 15) escapeTicks = 30;
        if (escapeTicks > 0) {
            --escapeTicks;
            const Level& level = game.getLevel();
            const double middleZ = (level.backLimit() + level.frontLimit()) / 2.0;
            const double distance = kEyeDistance - middleZ;
            go(me->position, Vec3((level.leftEdge(distance) + level.rightEdge(distance)) / 2.0, 0.0, middleZ), 1.0,
               steps.x, steps.z);
        }
        // A step that only turns the figure round goes nowhere.
        if (steps.x > 0 && me->position.x > farthestStep && !me->isFacingLeft()) {
            steps.x = 0;
        }
        slideWhenBlocked(steps);
        watchProgress(*me, ready(*me) && (steps.x != 0 || steps.z != 0));
    }
    keyboard.hold(keys.left, steps.x < 0);
    keyboard.hold(keys.right, steps.x > 0);
    keyboard.hold(keys.up, steps.z < 0);
    keyboard.hold(keys.down, steps.z > 0);
}

Fighter::Steps Fighter::decide(const Sight& sight) {
    const Game& game = sight.game;
    const Player& me = sight.me;
    const Object* held = me.heldWeapon();
    const Enemy* boss = game.findNearestEnemy(me.position, isBoss);
    const Enemy* minion = game.findNearestEnemy(me.position, [](const Enemy& e) { return !isBoss(e); });
    Steps steps;

    const bool bazooka = dynamic_cast<const StickFigure*>(held) != nullptr;
    // A corpse is too slow a weapon against a minion at arm's length, and a shot from so
    // close would hurt the shooter too: fists are better.
    if (bazooka && minion != nullptr && flatDistance(minion->position, me.position) < kCloseQuarters) {
        if (ready(me)) sight.keyboard.press(keys.drop);
    } else if (bazooka || dynamic_cast<const Head*>(held) != nullptr) {
        // Minions close by are shot first: the boss is slow and can wait.
        const bool minionFirst =
            minion != nullptr && (boss == nullptr || flatDistance(minion->position, me.position) < kMinionFirst);
        const Enemy* target = minionFirst ? minion : boss;
        // Kept while it lives, unless another comes much closer: walking off towards each
        // nearest in turn goes nowhere.
        const Enemy* kept = game.findNearestEnemy(me.position, [this](const Enemy& e) { return &e == shotTarget; });
        if (kept != nullptr && target != nullptr &&
            flatDistance(kept->position, me.position) < 1.5 * flatDistance(target->position, me.position)) {
            target = kept;
        }
        shotTarget = target;
        if (target != nullptr) return shoot(sight, *target);
        steps.x = 1;
        return steps;
    }
    if (dodge(sight, steps)) return steps;
    if (held != nullptr && boss != nullptr) {
        // Only a shot hurts the boss: hands free for a corpse.
        sight.keyboard.press(keys.drop);
    }
    if (const Object* ink = inkWorthDrinking(sight)) {
        go(me.position, ink->position, 0.3, steps.x, steps.z);
        return steps;
    }
    const bool stick = dynamic_cast<const Stick*>(held) != nullptr;
    if (held == nullptr || (stick && !everyWeapon)) {
        if (const Enemy* corpse = corpseWorthFetching(sight)) {
            if (held == nullptr) return fetch(sight, *corpse);
            // A bazooka beats a stick.
            if (ready(me) && flatDistance(corpse->position, me.position) < 3.0) sight.keyboard.press(keys.drop);
        }
    }
    if (held == nullptr) {
        if (const Object* loose = looseStick(sight)) {
            const Vec3 gap = loose->position - me.position;
            if (std::abs(gap.x) > 0.8 || std::abs(gap.z) > 0.6) {
                go(me.position, loose->position, 0.5, steps.x, steps.z);
            } else if (ready(me)) {
                // With no direction held a pick-up takes a stick.
                sight.keyboard.releaseAll();
                sight.keyboard.press(keys.pickUp);
            }
            return steps;
        }
    }
    if (boss != nullptr) {
        // Minions make the corpses the boss is shot with; fight them while the boss is
        // far enough off.
        const double bossDistance = flatDistance(boss->position, me.position);
        if (minion == nullptr || bossDistance < 6.0 || flatDistance(minion->position, boss->position) < 5.0) {
            return keepAway(sight, boss->position, std::min(4.0, bossDistance - 0.5));
        }
        return brawl(sight, *minion);
    }
    if (minion != nullptr) {
        // Enemies on both sides, or two at once, strike faster than fists can answer: out
        // from among them first, so that they come on from one side, the nearest first.
        if (const std::optional<Vec3> crowd = crowdAround(sight)) return keepAway(sight, *crowd, 2.0);
        return brawl(sight, *minion);
    }
    if (const Object* crate = crateWorthBreaking(sight)) {
        const double radius = dynamic_cast<const Obstacle*>(crate)->getRadius();
        return punch(sight, crate->position, radius, radius + 1.8, 0);
    }
    // Nothing about: on along the level, level with the middle of the floor.
    const Level& level = game.getLevel();
    const double middleZ = (level.backLimit() + level.frontLimit()) / 2.0;
    steps.x = 1;
    steps.z = std::abs(me.position.z - middleZ) > 1.0 ? sign(middleZ - me.position.z) : 0;
    return steps;
}

// Lines up level with the target at shooting range, on the side of it the view leaves
// more room on, facing it; fires once nothing but enemies stands in the way and the
// nearest of them is beyond the blast.
Fighter::Steps Fighter::shoot(const Sight& sight, const Enemy& target) {
    const Player& me = sight.me;
    const Level& level = sight.game.getLevel();
    const Vec3 gap = target.position - me.position;
    const double distance = kEyeDistance - target.position.z;
    const double leftRoom = target.position.x - (level.leftEdge(distance) + 1.0);
    const double rightRoom = level.rightEdge(distance) - 1.0 - target.position.x;
    const bool fromLeft = gap.x > 0 ? leftRoom >= kShotRange || leftRoom > rightRoom
                                    : !(rightRoom >= kShotRange || rightRoom > leftRoom);
    const double range = std::min(kShotRange, fromLeft ? leftRoom : rightRoom);
    Steps steps;
    go(me.position, Vec3(target.position.x + (fromLeft ? -range : range), 0.0, target.position.z), 0.8, steps.x,
       steps.z);
    if (steps.x == 0 && !facing(me, target.position)) steps.x = sign(gap.x);
    if (readyToFire(sight)) sight.keyboard.press(keys.attack);
    return steps;
}

// Whether a shot fired now would strike an enemy far enough off, and no player.
bool Fighter::readyToFire(const Sight& sight) const {
    const Player& me = sight.me;
    if (!ready(me)) return false;
    const int ahead = me.isFacingLeft() ? -1 : 1;
    double first = kLongestShot;
    const Object* struck = nullptr;
    for (const auto& object : sight.game.getWorld()) {
        const auto* figure = dynamic_cast<const StickFigure*>(object.get());
        const auto* obstacle = dynamic_cast<const Obstacle*>(object.get());
        double width = kShotWidth;
        if (obstacle != nullptr && !obstacle->isBroken()) {
            width = obstacle->getRadius() + 0.6;
        } else if (figure == nullptr || figure == &me || figure->isDead()) {
            continue;
        }
        const double along = (object->position.x - me.position.x) * ahead;
        const double depth = std::abs(object->position.z - me.position.z);
        if (along > 0.0 && along < first && depth < width) {
            first = along;
            struck = object.get();
        }
    }
    // A thrown head does not burst.
    if (dynamic_cast<const Head*>(me.heldWeapon()) != nullptr) return dynamic_cast<const Enemy*>(struck) != nullptr;
    const auto* enemy = dynamic_cast<const Enemy*>(struck);
    if (enemy == nullptr || first < (isBoss(*enemy) ? kSafeBossShot : kSafeShot)) return false;
    // The partner, who may walk a few steps while the shot is readied, must stay out of
    // its way and clear of where the head bursts.
    if (sight.partner == nullptr) return true;
    const Vec3 burst = struck->position - Vec3(ahead * 1.6, 0.0, 0.0);
    const Vec3 gap = sight.partner->position - me.position;
    const bool inTheWay = gap.x * ahead > -2.0 && std::abs(gap.z) < kShotWidth + kPartnerSteps / 2.0;
    return !inTheWay && flatDistance(sight.partner->position, burst) > kBlast + kPartnerSteps / 2.0;
}

// Punches an enemy from just outside its reach; trying every weapon, tears an arm off it
// now and then for a stick.
Fighter::Steps Fighter::brawl(const Sight& sight, const Enemy& enemy) {
    const Player& me = sight.me;
    if (everyWeapon && me.heldWeapon() == nullptr && enemy.canLoseLimb(ArmPart)) {
        // Now and then, close enough to touch, it loses an arm for a stick.
        if (ready(me) && flatDistance(me.position, enemy.position) < 2.2 && sight.tick % 50 == 0) {
            sight.keyboard.releaseAll();
            sight.keyboard.press(keys.pickUp);
        }
        return punch(sight, enemy.position, kFistRadius, 2.0, enemy.getHitCooldown());
    }
    // Another enemy about to strike comes first: out of its way.
    if (const Enemy* other = menace(sight, &enemy)) {
        const Vec3 away = me.position - other->position;
        return Steps{sign(away.x), std::abs(away.z) > 0.2 ? sign(away.z) : 0};
    }
    const bool stick = enemy.heldWeapon() != nullptr;
    const double strikes = stick ? kStickStrikes : kFistStrikes;
    // A stick of our own outreaches a fist.
    const bool outreach = !stick && dynamic_cast<const Stick*>(me.heldWeapon()) != nullptr;
    // With a blow due, waits just beyond its reach for the blow to miss, then strikes
    // while it recovers; an enemy that will not come on (holding off, or just arrived)
    // is gone for after a while.
    if (!blowDue(enemy, sight.tick)) {
        waitTicks = 0;
    } else if (!outreach && flatDistance(enemy.position, me.position) > strikes - 0.1 && waitTicks < kLongestWait) {
        ++waitTicks;
        return punch(sight, enemy.position, kFistRadius,
                     (stick ? kStickAhead + kStickReach : kFistAhead + kFistReach) + 0.5, kNeverStrike);
    }
    // A punch holds the figure for most of a second: not while a blow may come.
    const bool blowComing = waitTicks < kLongestWait && menace(sight, nullptr) != nullptr;
    return punch(sight, enemy.position, kFistRadius, outreach ? kStickSpacing : kSpacing,
                 blowComing ? kNeverStrike : enemy.getHitCooldown());
}

// The nearest enemy but `besides` whose blow is due and that is near enough to strike
// before a punch would be over.
const Enemy* Fighter::menace(const Sight& sight, const Enemy* besides) const {
    return sight.game.findNearestEnemy(sight.me.position, [&](const Enemy& e) {
        const double strikes = e.heldWeapon() != nullptr ? kStickStrikes : kFistStrikes;
        return &e != besides && !isBoss(e) && blowDue(e, sight.tick) &&
               flatDistance(e.position, sight.me.position) < strikes + kMenaceMargin;
    });
}

// Whether an enemy may strike again: a blow comes at once once it is in range, the next
// no sooner than a second after.
bool Fighter::blowDue(const Enemy& enemy, int tick) const {
    const auto last = lastBlows.find(&enemy);
    return last == lastBlows.end() || tick - last->second > kBlowPause;
}

void Fighter::watchBlows(const Game& game, int tick) {
    // A blow long past tells nothing, and the enemy may be gone: forgotten.
    for (auto last = lastBlows.begin(); last != lastBlows.end();) {
        last = tick - last->second > kBlowPause ? lastBlows.erase(last) : std::next(last);
    }
    for (const auto& object : game.getWorld()) {
        const auto* enemy = dynamic_cast<const Enemy*>(object.get());
        if (enemy == nullptr) continue;
        const FigureState state = enemy->getFigureState();
        if (state == FigureState::PunchStart || state == FigureState::SwingStart ||
            state == FigureState::Throwing || state == FigureState::BazookaStart) {
            lastBlows[enemy] = tick;
        }
    }
}

// Punches what stands at `at`, a body of `radius`, from `spacing` away along the level
// and level with it in depth; waits while its hit cooldown has longer to run than a
// punch takes to land.
Fighter::Steps Fighter::punch(const Sight& sight, const Vec3& at, double radius, double spacing, int cooldown) {
    const Player& me = sight.me;
    const Vec3 gap = at - me.position;
    const bool facingIt = facing(me, at);
    const bool stick = dynamic_cast<const Stick*>(me.heldWeapon()) != nullptr;
    const bool inReach =
        within(me, at, stick ? kStickAhead : kFistAhead, (stick ? kStickRadius : kFistRadius) + radius - 0.1);
    Steps steps;
    const double wantedX = at.x - sign(gap.x) * spacing;
    // Every step along the level turns the figure the way it goes.
    if (!inReach && std::abs(me.position.x - wantedX) > 0.3) {
        steps.x = sign(wantedX - me.position.x);
    } else if (!facingIt) {
        steps.x = sign(gap.x);
    }
    if (std::abs(gap.z) > 0.3) steps.z = sign(gap.z);
    const bool canStrike = ready(me) || me.getFigureState() == FigureState::Recoiling;
    if (inReach && facingIt && canStrike && cooldown < 2 * kBlowWarning) sight.keyboard.press(keys.attack);
    return steps;
}

// Steps back from a blow about to land that a punch of its own cannot cut short, and
// out of the line of a shot being readied or a head in flight.
bool Fighter::dodge(const Sight& sight, Steps& steps) const {
    const Player& me = sight.me;
    for (const auto& object : sight.game.getWorld()) {
        if (const auto* head = dynamic_cast<const Head*>(object.get())) {
            const Vec3 gap = me.position - head->position;
            if (head->isFlying() && head->getVelocity().x * gap.x > 0.0 && std::abs(gap.x) < 14.0 &&
                std::abs(gap.z) < kShotWidth + 0.3) {
                steps = Steps{0, gap.z < 0.0 ? -1 : 1};
                return true;
            }
            continue;
        }
        const auto* enemy = dynamic_cast<const Enemy*>(object.get());
        if (enemy == nullptr || enemy->isDead() || flatDistance(enemy->position, me.position) > 8.0) continue;
        const Vec3 gap = me.position - enemy->position;
        const FigureState state = enemy->getFigureState();
        const StickFigModel& model = enemy->getModel();
        if (state == FigureState::BazookaStart && facing(*enemy, me.position) &&
            std::abs(gap.z) < kShotWidth + 0.5) {
            steps = Steps{0, gap.z < 0.0 ? -1 : 1};
            return true;
        }
        const bool punching = state == FigureState::PunchStart || state == FigureState::PunchFinish;
        const bool swinging = state == FigureState::SwingStart || state == FigureState::SwingFinish;
        if (!punching && !swinging) continue;
        if (!facing(*enemy, me.position) || !within(*enemy, me.position, punching ? kFistAhead : kStickAhead,
                    (punching ? kFistReach : kStickReach) + 0.6)) {
            continue;
        }
        // A fist of ours landing before the blow does turns it into a recoil.
        const int untilBlow = state == FigureState::PunchStart
                                  ? static_cast<int>(model.totalDuration()) - static_cast<int>(model.elapsed())
                                  : 0;
        const bool cutShort = punching && untilBlow > kBlowWarning + 20 && ready(me) &&
                              facing(me, enemy->position) && within(me, enemy->position, kFistAhead, kFistReach) &&
                              enemy->getHitCooldown() == 0;
        if (cutShort) continue;
        // Straight out of the circle the blow sweeps.
        const double ahead = (punching ? kFistAhead : kStickAhead) * (enemy->isFacingLeft() ? -1.0 : 1.0);
        const Vec3 out(gap.x - ahead, 0.0, gap.z);
        const double length = std::hypot(out.x, out.z);
        steps = Steps{std::abs(out.x) > 0.38 * length ? sign(out.x) : 0,
                      std::abs(out.z) > 0.38 * length ? sign(out.z) : 0};
        return true;
    }
    return false;
}

// Ink in view when health runs low, unless an enemy stands over it.
const Object* Fighter::inkWorthDrinking(const Sight& sight) const {
    if (sight.me.getHealth() > kLowHealth && !(sight.me.getHealth() < sight.me.getMaxHealth() - 100.0f &&
                                               sight.game.findNearestEnemy(sight.me.position) == nullptr)) {
        return nullptr;
    }
    const Object* best = nullptr;
    for (const auto& object : sight.game.getWorld()) {
        if (dynamic_cast<const Health*>(object.get()) == nullptr || !inView(sight.game, object->position, 0.5) ||
            object->position.x > farthestStep ||
            (partnerCloser(sight, object->position) && sight.partner->getHealth() < sight.me.getHealth())) {
            continue;
        }
        if (best == nullptr ||
            flatDistance(object->position, sight.me.position) < flatDistance(best->position, sight.me.position)) {
            best = object.get();
        }
    }
    return best;
}

// A crate with ink inside, in view, while health is short of full and no enemy is about.
const Object* Fighter::crateWorthBreaking(const Sight& sight) const {
    if (sight.me.getHealth() > sight.me.getMaxHealth() - 50.0f) return nullptr;
    for (const auto& object : sight.game.getWorld()) {
        const auto* crate = dynamic_cast<const Obstacle*>(object.get());
        if (crate != nullptr && crate->getContents() >= 2 && !crate->isBroken() &&
            inView(sight.game, crate->position, 3.0)) {
            return crate;
        }
    }
    return nullptr;
}

// Whether the partner, empty-handed, stands nearer to `where`: it is the partner's to take.
bool Fighter::partnerCloser(const Sight& sight, const Vec3& where) const {
    return sight.partner != nullptr && sight.partner->heldWeapon() == nullptr &&
           flatDistance(sight.partner->position, where) < flatDistance(sight.me.position, where);
}

// A stick lying in view, nearer than any enemy is to it.
const Object* Fighter::looseStick(const Sight& sight) const {
    const Game& game = sight.game;
    const Object* best = nullptr;
    for (const auto& object : game.getWorld()) {
        if (dynamic_cast<const Stick*>(object.get()) == nullptr || !inView(game, object->position, 1.0) ||
            object->position.x > farthestStep || flatDistance(object->position, sight.me.position) > kStickFetch) {
            continue;
        }
        const Enemy* threat = game.findNearestEnemy(object->position);
        if (threat != nullptr && flatDistance(threat->position, object->position) < kQuietRadius) continue;
        if (best == nullptr ||
            flatDistance(object->position, sight.me.position) < flatDistance(best->position, sight.me.position)) {
            best = object.get();
        }
    }
    return best;
}

// The nearest corpse in view that can be carried whole and that no enemy is near enough
// to strike at while it is picked up.
const Enemy* Fighter::corpseWorthFetching(const Sight& sight) const {
    const Game& game = sight.game;
    if (const Enemy* near = game.findNearestEnemy(sight.me.position);
        near != nullptr && flatDistance(near->position, sight.me.position) < kSpacing + 1.5) {
        return nullptr;
    }
    const Enemy* best = nullptr;
    for (const auto& object : game.getWorld()) {
        const auto* corpse = dynamic_cast<const Enemy*>(object.get());
        if (corpse == nullptr || !corpse->isDead() || !corpse->canLoseLimb(WholeBody) ||
            !inView(game, corpse->position, 1.0)) {
            continue;
        }
        if (corpse->position.x > farthestStep) continue;
        const Enemy* threat = game.findNearestEnemy(corpse->position);
        const double quiet = threat != nullptr && isBoss(*threat) ? kQuietRadius + 2.0 : kQuietRadius;
        if (threat != nullptr && flatDistance(threat->position, corpse->position) < quiet) continue;
        if (partnerCloser(sight, corpse->position)) continue;
        if (best == nullptr || flatDistance(corpse->position, sight.me.position) <
                                   flatDistance(best->position, sight.me.position)) {
            best = corpse;
        }
    }
    return best;
}

// Walks to a corpse and picks it up: whole, for a bazooka, or in turn whole, its head and
// a leg when trying every weapon.
Fighter::Steps Fighter::fetch(const Sight& sight, const Enemy& corpse) {
    const Player& me = sight.me;
    const Vec3 gap = corpse.position - me.position;
    Steps steps;
    go(me.position, corpse.position, 1.0, steps.x, steps.z);
    if (std::abs(gap.x) < 2.0 && std::abs(gap.z) < 1.0 && ready(me) && sight.tick % 5 == 0) {
        const int turn = everyWeapon ? pickups++ / 3 % 3 : 0;
        sight.keyboard.hold(turn == 0 ? (gap.x < 0 ? keys.left : keys.right) : turn == 1 ? keys.up : keys.down, true);
        sight.keyboard.press(keys.pickUp);
    }
    return steps;
}

// Where the enemies close by stand on average, when they stand on either side or two of
// them are within striking distance.
std::optional<Vec3> Fighter::crowdAround(const Sight& sight) const {
    const Vec3& here = sight.me.position;
    int left = 0;
    int right = 0;
    int close = 0;
    Vec3 sum;
    for (const auto& object : sight.game.getWorld()) {
        const auto* enemy = dynamic_cast<const Enemy*>(object.get());
        if (enemy == nullptr || enemy->isDead() || flatDistance(enemy->position, here) > kFlanked) continue;
        (enemy->position.x < here.x ? left : right) += 1;
        const double strikes = enemy->heldWeapon() != nullptr ? kStickStrikes : kFistStrikes;
        if (flatDistance(enemy->position, here) < strikes + 1.0) ++close;
        sum += enemy->position;
    }
    if ((left == 0 || right == 0) && close < 2) return std::nullopt;
    return sum / (left + right);
}

// Makes for the spot of the floor farthest from `from` that can be reached without
// passing within `reach` of it.
Fighter::Steps Fighter::keepAway(const Sight& sight, const Vec3& from, double reach) const {
    const Level& level = sight.game.getLevel();
    const Vec3& here = sight.me.position;
    Vec3 best = here;
    double bestScore = -1e9;
    for (int row = 0; row <= 4; ++row) {
        // Kept off the edges: a figure in a corner can be pinned there.
        const double z = level.backLimit() + 2.0 + (level.frontLimit() - level.backLimit() - 4.0) * row / 4.0;
        const double distance = kEyeDistance - z;
        const double left = level.leftEdge(distance) + 3.0;
        const double right = level.rightEdge(distance) - 3.0;
        for (int column = 0; column <= 6; ++column) {
            const Vec3 spot(left + (right - left) * column / 6.0, 0.0, z);
            if (spot.x > farthestStep) continue;
            const Vec3 path = spot - here;
            const double length = path.x * path.x + path.z * path.z;
            const double along =
                length > 0.0
                    ? std::clamp(((from.x - here.x) * path.x + (from.z - here.z) * path.z) / length, 0.0, 1.0)
                    : 0.0;
            const bool passesNear = flatDistance(here + path * along, from) < reach;
            const double score = flatDistance(spot, from) - (passesNear ? 100.0 : 0.0);
            if (score > bestScore) {
                bestScore = score;
                best = spot;
            }
        }
    }
    Steps steps;
    go(here, best, 0.5, steps.x, steps.z);
    return steps;
}

// A step that runs into an obstacle goes nowhere at all: after a few such ticks, walk
// along one axis only, then along the other.
void Fighter::slideWhenBlocked(Steps& steps) const {
    const int phase = stuckTicks % 24;
    if (stuckTicks < 3 || (steps.x == 0 && steps.z == 0)) return;
    if (phase < 12 && steps.x != 0) {
        steps.z = 0;
    } else {
        steps.z = steps.z != 0 ? steps.z : (phase < 18 ? 1 : -1);
        steps.x = 0;
    }
}

// Counts the ticks the figure stood where it was while it was meant to walk.
void Fighter::watchProgress(const Player& me, bool walking) {
    stuckTicks = walking && me.position.distanceSquared(lastPosition) < 1e-4 ? stuckTicks + 1 : 0;
    lastPosition = me.position;
}
