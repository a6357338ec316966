#pragma once

#include <memory>

#include "characters/Enemy.h"

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
};
