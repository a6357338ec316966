#include "characters/Boss.h"

#include "audio/SoundManager.h"
#include "characters/BodyLists.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "core/SettingsCache.h"
#include "world/Head.h"
#include "world/Message.h"
#include "world/LevelEntries.h"
#include "world/ParticleEffect.h"
#include "world/StateHasher.h"

namespace {

struct BossTuning {
    int minionSpawnTime;
    int minionSpawnCount;
};

const BossTuning& tuning() {
    static SettingsCache<BossTuning> values([] {
        Settings& s = Settings::instance();
        BossTuning t{};
        t.minionSpawnTime = s.getIntWithin("minionSpawnTime", limits::duration);
        t.minionSpawnCount = s.getIntWithin("minionSpawnCount", limits::minions);
        return t;
    });
    return values.get();
}

constexpr int kBossKind = 4;
constexpr int kDissolveTicks = 60;
constexpr float kWaveBack = -9.0f;
constexpr float kWaveFront = -2.0f;
constexpr double kSwitchFactor = 1.2;

const ParticleEffect& hitEffect() {
    static SettingsCache<ParticleEffect> effect([] { return ParticleEffect("bossHit"); });
    return effect.get();
}

const ParticleEffect& deathEffect() {
    static SettingsCache<ParticleEffect> effect([] { return ParticleEffect("bossDeath"); });
    return effect.get();
}

}  // namespace

Boss::Boss() : Enemy(kBossKind) {
    BodyLists::instance().buildBossLists();
    getModel().makeBossSize();
    state = Decide;
    spawnInterval = tuning().minionSpawnTime;
    spawnCount = tuning().minionSpawnCount;
    spawnTimer = spawnInterval;
}

Boss::~Boss() = default;

void Boss::setAppearance(const BossEntry& entry) {
    name = entry.name;
    getModel().setLook(entry.look);
}

bool Boss::canLoseLimb(PartKind) const { return false; }

std::unique_ptr<Object> Boss::loseLimb(PartKind) { return nullptr; }

void Boss::die() {
    // A second death must not restart the dissolve.
    const bool alreadyDead = isDead();
    StickFigure::die();
    if (!alreadyDead) {
        dissolveCountdown = kDissolveTicks;
    }
}

void Boss::update(int milliseconds) {
    if (targetLeft()) {
        target.reset();
    }

    if (!isDead()) {
        spawnTimer -= milliseconds;
        if (spawnTimer <= 0) {
            spawnTimer = spawnInterval;
            callWave();
        }
    }

    if (dissolveCountdown > 0) {
        --dissolveCountdown;
        if (dissolveCountdown % 10 != 0) {
            deathEffect().burst(position, getColor());
        }
        if (dissolveCountdown == 0) {
            kill();
        }
    }

    if (isDead() || isBeingRipped()) {
        StickFigure::update(milliseconds);
        return;
    }

    switch (state) {
        case Decide: chooseTarget(); break;
        case ApproachPlayer1: approachPlayer(1, milliseconds); break;
        case ApproachPlayer2: approachPlayer(2, milliseconds); break;
        case Striking: strike(milliseconds); break;
        case Idle: break;
        default: state = Decide; break;
    }
    StickFigure::update(milliseconds);
}

void Boss::callWave() {
    Game& game = Game::instance();
    game.disintegrateAll();
    const int missing = spawnCount - game.countLivingMinions();
    const int left = missing / 2;
    const int right = missing - left;
    const int minionKind = game.playerCount() == 2 ? 1 : 0;
    placeColumn(left, true, minionKind);
    placeColumn(right, false, minionKind);
}

// An evenly spaced column from the back of the floor towards the front, on one edge.
void Boss::placeColumn(int count, bool leftEdge, int minionKind) {
    Game& game = Game::instance();
    const Level& level = game.getLevel();
    for (int i = 0; i < count; ++i) {
        const float z = static_cast<float>(i) * (kWaveFront - kWaveBack) / static_cast<float>(count) + kWaveBack;
        const double distance = 20.0 - z;
        const float x = static_cast<float>(leftEdge ? level.leftEdge(distance) : level.rightEdge(distance));
        auto minion = std::make_unique<Enemy>(minionKind);
        minion->position = Vec3(x, 0.0, z);
        game.addObject(std::move(minion));
    }
}

void Boss::chooseTarget() {
    const Player* const p1 = livingPlayer(1);
    const Player* const p2 = livingPlayer(2);
    if (p1 != nullptr && p2 != nullptr) {
        if (target == p1) {
            state = ApproachPlayer1;
        } else {
            const bool firstNearer = position.distanceSquared(p2->position) > position.distanceSquared(p1->position);
            state = firstNearer ? ApproachPlayer1 : ApproachPlayer2;
        }
    } else if (p1 != nullptr) {
        state = ApproachPlayer1;
    } else if (p2 != nullptr) {
        state = ApproachPlayer2;
    }
}

// Keeps after player `slot` for this tick, but turns to the other one for the next tick
// once this one is clearly farther away.
void Boss::approachPlayer(int slot, int milliseconds) {
    Player* const chased = livingPlayer(slot);
    const Player* const other = livingPlayer(3 - slot);
    if (chased != nullptr && other != nullptr &&
        position.distanceSquared(chased->position) > kSwitchFactor * position.distanceSquared(other->position)) {
        state = slot == 1 ? ApproachPlayer2 : ApproachPlayer1;
    }
    if (target != chased) {
        target = chased;
    }
    approachTarget(milliseconds);
}

void Boss::message(Object* from, int message) {
    switch (message) {
        case Hit: {
            const auto* head = dynamic_cast<const Head*>(from);
            if (head == nullptr || !head->isShot()) {
                return;
            }
            const Vec3 away = position.x < head->position.x ? Vec3(-1, 0, 0) : Vec3(1, 0, 0);
            hitEffect().emit(Vec3(position.x, head->position.y, position.z), away, getColor(), 1.0);
            SoundManager::instance().playSound("punch", 1, 1.0f);
            StickFigure::message(from, Hit);
            return;
        }
        case PickupTouch:
            return;
        case Removed:
            if (from == target) {
                target.reset();
            }
            return;
        default:
            Enemy::message(from, message);
            return;
    }
}

void Boss::digest(StateHasher& h) const {
    Enemy::digest(h);
    h << spawnInterval << spawnCount << spawnTimer << dissolveCountdown;
}

const char* Boss::digestName() const { return "Boss"; }
