#pragma once

#include <memory>
#include <string>

#include "characters/Enemy.h"

struct BossEntry;

// The large, slow, black enemy that ends a level: only a bazooka shot wounds it, it
// cannot be torn apart, it calls a wave of minions from both edges of the view every
// "minionSpawnTime" ms and hunts the nearer player. Dead, it dissolves in bursts of ink
// and leaves the world.
class Boss : public Enemy {
public:
    Boss();
    ~Boss() override;

    std::unique_ptr<Object> clone() const override { return copyOf(*this); }
    void update(int milliseconds) override;
    void message(Object* from, int message) override;
    bool canLoseLimb(PartKind k) const override;
    std::unique_ptr<Object> loseLimb(PartKind k) override;
    void die() override;
    void digest(StateHasher& h) const override;
    const char* digestName() const override;

    // The name and look the level gives its boss; they only show, on its health bar and
    // its head.
    void setAppearance(const BossEntry& entry);
    const std::string& getName() const { return name; }

    int getSpawnInterval() const { return spawnInterval; }
    int getSpawnCount() const { return spawnCount; }
    int getSpawnTimer() const { return spawnTimer; }
    int getDissolveCountdown() const { return dissolveCountdown; }

private:
    void callWave();
    void placeColumn(int count, bool leftEdge, int minionKind);
    void chooseTarget();
    void approachPlayer(int slot, int milliseconds);

    int spawnInterval = 0;
    int spawnCount = 0;
    int spawnTimer = 0;
    int dissolveCountdown = 0;
    std::string name;
};
