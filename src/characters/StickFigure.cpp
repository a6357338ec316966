#include "characters/StickFigure.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "audio/SoundManager.h"
#include "characters/Boss.h"
#include "characters/Enemy.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "core/SettingsCache.h"
#include "world/Head.h"
#include "world/Message.h"
#include "world/ParticleEffect.h"
#include "world/StateHasher.h"
#include "world/Stick.h"

namespace {

struct FightTuning {
    float punchAttackDist;
    float stickAttackDist;
    float throwSpeed;
    float explodingHeadDamage;
    float explodingHeadRadius;
    float damage[5];  // by kind of blow: punch, stick, head, exploding head, boss fist
};

const FightTuning& tuning() {
    static SettingsCache<FightTuning> values([] {
        Settings& s = Settings::instance();
        FightTuning t{};
        t.punchAttackDist = s.getFloatWithin("punchAttackDist", limits::distance);
        t.stickAttackDist = s.getFloatWithin("stickAttackDist", limits::distance);
        t.throwSpeed = s.getFloatWithin("throwSpeed", limits::speed);
        t.explodingHeadDamage = s.getFloatWithin("explodingHeadDamage", limits::damage);
        t.explodingHeadRadius = s.getFloatWithin("explodingHeadRadius", limits::distance);
        t.damage[0] = s.getFloatWithin("punchDamage", limits::damage);
        t.damage[1] = s.getFloatWithin("stickDamage", limits::damage);
        t.damage[2] = s.getFloatWithin("headDamage", limits::damage);
        t.damage[3] = s.getFloatWithin("explodingHeadDamage", limits::damage);
        t.damage[4] = s.getFloatWithin("bossPunchDamage", limits::damage);
        return t;
    });
    return values.get();
}

enum DamageKind { PunchBlow = 0, StickBlow = 1, HeadBlow = 2, ExplodingHeadBlow = 3, BossBlow = 4 };

constexpr int kHitCooldown = 500;
constexpr int kCorpseTime = 3500;

// The seven region lists every figure chooses from, by state and facing.
struct FigureRegions {
    RegionList standing, punchRight, punchLeft, stickRight, stickLeft, corpseRight, corpseLeft;
};

const FigureRegions& figureRegions() {
    static SettingsCache<FigureRegions> lists([] {
        const double punch = tuning().punchAttackDist;
        const double stick = tuning().stickAttackDist;
        const Region reach{RegionType::Reach, {}, 1.0};
        const Region pickup{RegionType::Pickup, {}, 1.5};
        const Region body{RegionType::Body, {}, punch};
        const Region solid{RegionType::Solid, {}, 1.0};
        auto attackAt = [](double x, double radius) { return Region{RegionType::Attack, Vec3(x, 0, 0), radius}; };
        auto pickupAt = [](double x) { return Region{RegionType::Pickup, Vec3(x, 0, 0), 1.5}; };
        FigureRegions r;
        r.standing = {reach, pickup, body, solid};
        r.punchRight = {reach, pickup, body, attackAt(1.5, punch), solid};
        r.punchLeft = {reach, pickup, body, attackAt(-1.5, punch), solid};
        r.stickRight = {reach, pickup, body, attackAt(1.75, stick)};
        r.stickLeft = {reach, pickup, body, attackAt(-1.75, stick)};
        r.corpseRight = {pickupAt(0), pickupAt(-3), pickupAt(-6)};
        r.corpseLeft = {pickupAt(0), pickupAt(3), pickupAt(6)};
        return r;
    });
    return lists.get();
}

const ParticleEffect& bloodEffect(int kind) {
    static SettingsCache<ParticleEffect> punchHit([] { return ParticleEffect("punchHit"); });
    static SettingsCache<ParticleEffect> stickHit([] { return ParticleEffect("stickHit"); });
    static SettingsCache<ParticleEffect> headHit([] { return ParticleEffect("headHit"); });
    switch (kind) {
        case StickBlow: return stickHit.get();
        case HeadBlow:
        case ExplodingHeadBlow: return headHit.get();
        default: return punchHit.get();
    }
}

bool oneInTen() { return static_cast<int>(random15() * 10.0 / 32768.0) == 0; }

void playSound(const char* name, float loudness) { SoundManager::instance().playSound(name, 1, loudness); }

}  // namespace

StickFigure::StickFigure(const Color& c) : model(c), color(c) { model.loop("fightstance"); }

StickFigure::~StickFigure() = default;

std::unique_ptr<Object> StickFigure::clone() const { return copyOf(*this); }

void StickFigure::holdCopiedWeapon() {
    model.clearWeapon();
    if (weapon) {
        model.setWeapon(weapon.get());
    }
}

const char* StickFigure::animationFor(const char* none, const char* weaponHeld, const char* bazookaHeld) const {
    if (!weapon) {
        return none;
    }
    return dynamic_cast<const StickFigure*>(weapon.get()) != nullptr ? bazookaHeld : weaponHeld;
}

void StickFigure::stand() {
    if (isDead()) {
        return;
    }
    figureState = FigureState::Standing;
    model.loop(animationFor("fightstance", "weaponstance", "bazookastance"));
}

void StickFigure::walk() {
    if (isDead()) {
        return;
    }
    model.loop(animationFor("walk", "weaponwalk", "bazookawalk"));
    figureState = FigureState::Walking;
}

void StickFigure::update(int milliseconds) {
    if (hitCooldown > 0) {
        hitCooldown -= milliseconds;
        if (hitCooldown < 0) {
            hitCooldown = milliseconds;
        }
    }

    const bool animationEnded = !model.isPlaying();
    switch (figureState) {
        case FigureState::Walking:
            if (!movedThisTick) {
                stand();
            }
            break;
        case FigureState::PunchStart:
            if (animationEnded) {
                figureState = FigureState::PunchFinish;
                model.playOnce("punchfinish");
            }
            break;
        case FigureState::SwingStart:
            if (animationEnded) {
                figureState = FigureState::SwingFinish;
                model.playOnce("swingstickfinish");
            }
            break;
        case FigureState::SwingFinish:
            if (animationEnded) {
                stand();
                if (auto* stick = dynamic_cast<Stick*>(weapon.get())) {
                    stick->setSwinging(false);
                }
            }
            break;
        case FigureState::PunchFinish:
        case FigureState::RipFinish:
        case FigureState::PickupFinish:
        case FigureState::Throwing:
        case FigureState::Recoiling:
            if (animationEnded) {
                stand();
            }
            break;
        case FigureState::RipStart:
            if (animationEnded) {
                completeRip();
            }
            break;
        case FigureState::PickupStart:
            if (animationEnded) {
                completePickup();
            }
            break;
        case FigureState::BazookaStart:
            if (animationEnded) {
                fire();
            }
            break;
        case FigureState::BazookaFinish:
            if (animationEnded) {
                releaseWeapon();
                stand();
            }
            break;
        case FigureState::Dead:
            if (fall >= 1.0f && corpseTimer > 0) {
                corpseTimer -= milliseconds;
                if (corpseTimer < 0) {
                    corpseTimer = 0;
                }
            }
            if (fall < 1.0f) {
                // Without a "die" animation there is nothing to topple through.
                const unsigned total = model.totalDuration();
                fall = total == 0 ? 1.0f : static_cast<float>(static_cast<double>(model.elapsed()) / total);
                if (fall >= 1.0f) {
                    fall = 1.0f;
                    corpseTimer = kCorpseTime;
                }
            }
            break;
        case FigureState::Standing:
            break;
    }

    model.update(static_cast<unsigned>(milliseconds));
    if (weapon) {
        weapon->update(milliseconds);
    }
    movedThisTick = false;
    candidates.clear();
}

void StickFigure::afterUpdate() {
    if (weapon && weapon->removed) {
        releaseWeapon();
    }
    if (ripper.isSet()) {
        const StickFigure* const r = ripper.get();
        if (r == nullptr || r->removed || r->isDead()) {
            ripper.reset();
        }
    }
    if (grabTarget.isSet()) {
        const Object* const target = grabTarget.get();
        if (target == nullptr || target->removed) {
            grabTarget.reset();
        }
    }
}

void StickFigure::draw() {
    Object::draw();
    const double blend = drawBlend();
    const Vec3 at = drawnPosition();
    glPushMatrix();
    glTranslated(at.x, at.y, at.z);
    if (facingLeft) {
        glRotated(180.0, 0.0, 1.0, 0.0);
    }
    if (figureState == FigureState::Dead && !isBazooka) {
        const double shownFall = blend >= 1.0 ? fall : tickStartFall + (fall - tickStartFall) * blend;
        glTranslated(0.0, shownFall * 1.0, 0.0);
        glRotated(shownFall * 90.0, 0.0, 0.0, 1.0);
    }
    model.draw(blend);
    glPopMatrix();
}

void StickFigure::rememberTickStart(unsigned tick) {
    Object::rememberTickStart(tick);
    tickStartFall = fall;
    model.rememberTickStart();
}

const RegionList& StickFigure::regions() const {
    const FigureRegions& lists = figureRegions();
    switch (figureState) {
        case FigureState::PunchFinish:
            return facingLeft ? lists.punchLeft : lists.punchRight;
        case FigureState::SwingStart:
            if (model.elapsed() > model.totalDuration() / 2) {
                return facingLeft ? lists.stickLeft : lists.stickRight;
            }
            return lists.standing;
        case FigureState::SwingFinish:
            return facingLeft ? lists.stickLeft : lists.stickRight;
        case FigureState::Dead:
            return facingLeft ? lists.corpseLeft : lists.corpseRight;
        default:
            return lists.standing;
    }
}

void StickFigure::message(Object* from, int message) {
    if (figureState == FigureState::Dead) {
        return;
    }
    switch (message) {
        case Hit:
            takeHit(from);
            break;
        case HitLanded:
            if (auto* stick = dynamic_cast<Stick*>(weapon.get())) {
                stick->registerHit();
            }
            break;
        case Bump: {
            Vec3 away = position - from->position;
            away.y = 0.0;
            const double squared = away.dot(away);
            if (squared > 0.0) {
                position += away / std::sqrt(squared) * 0.1;
            }
            break;
        }
        case PickupTouch:
            if (!weapon) {
                candidates.push_back(from);
            }
            break;
        case Removed:
            if (grabTarget == from) {
                grabTarget.reset();
            }
            if (ripper == from) {
                ripper.reset();
            }
            // Whatever left the world can no longer be picked up from here.
            candidates.erase(std::remove(candidates.begin(), candidates.end(), Handle<Object>(from)),
                             candidates.end());
            break;
        case Explosion: {
            const double radius = tuning().explodingHeadRadius;
            const double radiusSquared = radius * radius;
            const double distanceSquared = position.distanceSquared(from->position);
            if (distanceSquared < radiusSquared) {
                recoil();
                splash(HeadBlow, from);
                takeDamage(static_cast<float>(tuning().explodingHeadDamage * (radiusSquared - distanceSquared) /
                                              radiusSquared));
            }
            break;
        }
        default:
            Object::message(from, message);
            break;
    }
}

void StickFigure::recoil() {
    abandonGrab();
    model.playOnce(animationFor("hit", "weaponhit", "bazookahit"));
    figureState = FigureState::Recoiling;
    hitCooldown = kHitCooldown;
}

void StickFigure::splash(int kind, const Object* attacker) const {
    const Vec3 away = attacker->position.x <= position.x ? Vec3(1, 0, 0) : Vec3(-1, 0, 0);
    bloodEffect(kind).emit(position + Vec3(0, 5, 0), away, color, 1.0);
}

void StickFigure::takeHit(Object* attacker) {
    if (hitCooldown != 0) {
        return;
    }
    abandonGrab();
    figureState = FigureState::Recoiling;

    int kind = PunchBlow;
    if (const auto* head = dynamic_cast<const Head*>(attacker)) {
        kind = head->isShot() ? ExplodingHeadBlow : HeadBlow;
        playSound("punch", 1.0f);
    } else if (dynamic_cast<const Boss*>(attacker) != nullptr) {
        kind = BossBlow;
        playSound("punch", 1.0f);
    } else if (const auto* figure = dynamic_cast<const StickFigure*>(attacker);
               figure != nullptr && dynamic_cast<const Stick*>(figure->heldWeapon()) != nullptr) {
        kind = StickBlow;
        playSound("stickhit", 1.0f);
    } else {
        playSound("punch", 0.7f);
    }

    takeDamage(tuning().damage[kind]);
    if (!isDead()) {
        model.playOnce(animationFor("hit", "weaponhit", "bazookahit"));
    }
    hitCooldown = kHitCooldown;

    splash(kind, attacker);
}

void StickFigure::abandonGrab() {
    Object* const target = grabTarget.get();
    if (figureState == FigureState::RipStart && target != nullptr && !target->removed) {
        if (auto* victim = dynamic_cast<StickFigure*>(target)) {
            victim->clearRipper(this);
        }
    }
    if (figureState == FigureState::RipStart || figureState == FigureState::PickupStart) {
        grabTarget.reset();
    }
}

void StickFigure::attack() {
    Object* held = weapon.get();
    if (dynamic_cast<Stick*>(held) != nullptr) {
        swingStick();
    } else if (dynamic_cast<Head*>(held) != nullptr) {
        throwHead();
    } else if (auto* body = dynamic_cast<StickFigure*>(held)) {
        if (!readyToStrike()) {
            return;  // a press during a shot would start it over, and it would never fire
        }
        if (body->canLoseLimb(WholeBody)) {
            playSound("bazooka", 1.0f);
            model.playOnce("bazookashotstart");
            figureState = FigureState::BazookaStart;
        } else {
            dropWeapon();
        }
    } else {
        punch();
    }
}

void StickFigure::launchHead(Head& head, bool shot) {
    const float speed = tuning().throwSpeed;
    head.position = position + Vec3(facingLeft ? -2.0 : 2.0, 5.0, 0.0);
    head.launch(Vec3(facingLeft ? -speed : speed, 0.0, 0.0), shot);
}

void StickFigure::throwHead() {
    auto* head = dynamic_cast<Head*>(dropWeapon());
    if (head == nullptr) {
        return;
    }
    playSound("woosh", 1.0f);
    model.playOnce("throw");
    launchHead(*head, false);
    figureState = FigureState::Throwing;
}

void StickFigure::fire() {
    auto* body = dynamic_cast<StickFigure*>(weapon.get());
    if (body != nullptr) {
        std::unique_ptr<Object> part = body->loseLimb(HeadPart);
        if (auto* head = dynamic_cast<Head*>(part.get())) {
            launchHead(*head, true);
        } else if (part) {
            // Not a head after all: it falls where the shooter stands.
            part->position = position;
        }
        Game::instance().addObject(std::move(part));
    }
    model.playOnce("bazookashotfinish");
    figureState = FigureState::BazookaFinish;
}

void StickFigure::takeWeapon(std::unique_ptr<Object> o) {
    if (!o) {
        return;
    }
    if (weapon) {
        // The hand is full: the new object lands at the figure's feet instead.
        o->position = position;
        Game::instance().addObject(std::move(o));
        return;
    }
    weapon = std::move(o);
    model.setWeapon(weapon.get());
    if (figureState == FigureState::Walking) {
        walk();
    } else {
        stand();
    }
}

void StickFigure::beginGrab(FigureState grabState, const char* animation, Object* target) {
    figureState = grabState;
    model.playOnce(animation);
    grabTarget = target;
}

void StickFigure::pickUp(PartKind k) {
    if ((figureState != FigureState::Standing && figureState != FigureState::Walking) || weapon) {
        return;
    }
    wantedPart = k;

    // A candidate that has left the world counts as removed.
    std::vector<Object*> within;
    for (const Handle<Object>& candidate : candidates) {
        Object* const object = candidate.get();
        within.push_back(object != nullptr && !object->removed ? object : nullptr);
    }

    for (Object* candidate : within) {
        auto* enemy = dynamic_cast<Enemy*>(candidate);
        if (candidate != nullptr && enemy != nullptr && !enemy->isDead() && enemy->canLoseLimb(k)) {
            beginGrab(FigureState::RipStart, "riplimbstart", enemy);
            enemy->setRipper(this);
            return;
        }
    }

    Object* fallback = nullptr;
    for (Object* candidate : within) {
        if (candidate == nullptr || dynamic_cast<Player*>(candidate) != nullptr) {
            continue;
        }
        const auto* figure = dynamic_cast<const StickFigure*>(candidate);
        const bool isStick = dynamic_cast<Stick*>(candidate) != nullptr;
        const bool isHead = dynamic_cast<Head*>(candidate) != nullptr;
        if ((figure != nullptr && figure->canLoseLimb(k)) || (isStick && (k == ArmPart || k == LegPart)) ||
            (isHead && k == HeadPart)) {
            beginGrab(FigureState::PickupStart, "pickupstart", candidate);
            return;
        }
        if (fallback == nullptr && (isStick || isHead)) {
            fallback = candidate;
        }
    }

    bool fallbackIsLivingEnemy = false;
    for (Object* candidate : within) {
        auto* enemy = dynamic_cast<Enemy*>(candidate);
        if (enemy == nullptr) {
            continue;
        }
        if (enemy->canLoseLimb(ArmPart) || enemy->isDead()) {
            fallback = enemy;
            fallbackIsLivingEnemy = !enemy->isDead();
        }
    }
    if (fallback == nullptr) {
        return;
    }
    if (fallbackIsLivingEnemy) {
        beginGrab(FigureState::RipStart, "riplimbstart", fallback);
    } else {
        beginGrab(FigureState::PickupStart, "pickupstart", fallback);
    }
}

void StickFigure::completeRip() {
    std::unique_ptr<Object> part;
    Object* const target = grabTarget.get();
    if (target != nullptr && !target->removed) {
        if (auto* enemy = dynamic_cast<Enemy*>(target)) {
            part = enemy->loseLimb(wantedPart);
            enemy->clearRipper(this);
        }
    }
    grabTarget.reset();
    if (!part) {
        stand();
        return;
    }
    part->position = Vec3();
    weapon = std::move(part);
    model.setWeapon(weapon.get());
    figureState = FigureState::RipFinish;
    model.playOnce("riplimbfinish");
    playSound("rip", 1.0f);
}

void StickFigure::completePickup() {
    std::unique_ptr<Object> taken;
    Object* const target = grabTarget.get();
    if (target != nullptr && !target->removed) {
        auto* enemy = dynamic_cast<Enemy*>(target);
        if (enemy == nullptr || (wantedPart == WholeBody && enemy->canLoseLimb(WholeBody))) {
            if (enemy != nullptr) {
                enemy->setFacingLeft(true);
            }
            taken = Game::instance().removeObject(target);
        } else {
            taken = enemy->loseLimb(wantedPart);
            playSound("rip", 1.0f);
        }
    }
    grabTarget.reset();
    if (!taken) {
        stand();
        return;
    }
    weapon = std::move(taken);
    if (auto* body = dynamic_cast<StickFigure*>(weapon.get())) {
        body->model.playOnce("transformbazooka");
        body->setBazooka(true);
    }
    weapon->position = Vec3();
    model.setWeapon(weapon.get());
    figureState = FigureState::PickupFinish;
    model.playOnce("pickupfinish");
}

Object* StickFigure::dropWeapon() {
    if (!weapon || (figureState != FigureState::Standing && figureState != FigureState::Walking)) {
        return nullptr;
    }
    return releaseWeapon();
}

Object* StickFigure::releaseWeapon() {
    if (!weapon) {
        return nullptr;
    }
    if (auto* body = dynamic_cast<StickFigure*>(weapon.get())) {
        body->setBazooka(false);
    }
    Object* const released = weapon.get();
    released->position = position;
    Game::instance().addObject(weapon.take());
    model.clearWeapon();
    if (figureState == FigureState::Walking) {
        walk();
    } else {
        stand();
    }
    return released;
}

Object* StickFigure::heldWeapon() const { return weapon.get(); }

bool StickFigure::canLoseLimb(PartKind k) const { return model.canLose(k, !isDead()); }

std::unique_ptr<Object> StickFigure::loseLimb(PartKind k) {
    std::unique_ptr<Object> part = model.detachPart(k, !isDead());
    if (part && !isDead()) {
        model.playOnce("loselimb");
    }
    if (isDead() && !model.hasAnyLimb()) {
        kill();
    }
    return part;
}

void StickFigure::die() {
    if (figureState == FigureState::Dead) {
        return;
    }
    forgetOthers();
    releaseWeapon();
    fall = 0.0f;
    model.playOnce("die");
    figureState = FigureState::Dead;
}

void StickFigure::forgetOthers() {
    abandonGrab();
    grabTarget.reset();
    ripper.reset();
    candidates.clear();
}

float StickFigure::healthFraction() const { return health / maxHealth; }

bool StickFigure::isDead() const { return figureState == FigureState::Dead; }

bool StickFigure::isGone() const { return isDead() && fall >= 1.0f && corpseTimer < 1; }

void StickFigure::respawn() {
    health = maxHealth;
    figureState = FigureState::Standing;
    fall = 0.0f;
    position.y = 0.0;
    if (Object* held = releaseWeapon()) {
        Game::instance().removeObject(held);
    }
    stand();
}

void StickFigure::setFacingLeft(bool left) { facingLeft = left; }

void StickFigure::move(const Vec3& d) {
    if (!canWalk()) {
        return;
    }
    position += d;
    if (d.x < 0) {
        facingLeft = true;
    } else if (d.x > 0) {
        facingLeft = false;
    }
    if (figureState != FigureState::Walking) {
        walk();
    }
    movedThisTick = true;
}

bool StickFigure::readyToStrike() const {
    return figureState == FigureState::Standing || figureState == FigureState::Walking ||
           figureState == FigureState::Recoiling;
}

void StickFigure::punch() {
    if (!readyToStrike()) {
        return;
    }
    figureState = FigureState::PunchStart;
    model.playOnce("punchstart");
    playSound("woosh", 0.2f);
}

void StickFigure::swingStick() {
    if (!readyToStrike()) {
        return;
    }
    figureState = FigureState::SwingStart;
    model.playOnce("swingstickstart");
    playSound("woosh", 0.6f);
    if (auto* stick = dynamic_cast<Stick*>(weapon.get())) {
        stick->setSwinging(true);
    }
}

void StickFigure::takeDamage(float amount) {
    health -= amount;
    if (health <= 0.0f) {
        health = 0.0f;
        die();
    }
}

void StickFigure::heal(float amount) {
    playSound("slurp", 1.0f);
    health += amount;
    if (health > maxHealth) {
        health = maxHealth;
    }
}

void StickFigure::clearRipper(StickFigure* r) {
    if (ripper == r) {
        ripper.reset();
    }
}

void StickFigure::setColor(const Color& c) {
    color = c;
    model.setColor(c);
}

void StickFigure::disintegrate() {
    if (!isDead() || canLoseLimb(WholeBody)) {
        return;
    }
    if (oneInTen()) {
        static SettingsCache<ParticleEffect> dust([] { return ParticleEffect("disintegrate"); });
        dust.get().burst(position, color);
        kill();
    }
}

void StickFigure::digest(StateHasher& h) const {
    Object::digest(h);
    h << static_cast<int>(figureState) << facingLeft << health << maxHealth << hitCooldown << fall << isBazooka
      << isBeingRipped() << h.placeOf(grabTarget) << candidates.size();
    for (const float joint : model.getPose()) h << joint;
    for (int limb = 0; limb < LimbCount; ++limb) {
        h << model.isAttached(static_cast<Limb>(limb)) << model.bleedTime(static_cast<Limb>(limb));
    }
    const AnimationPlayer& animation = model.animationPlayer();
    h << animation.animationName() << animation.isPlaying() << animation.isLooping() << animation.elapsed()
      << animation.currentFrame();
    if (weapon) {
        h << std::string(weapon->digestName());
        weapon->digest(h);
    }
}
