#include <cmath>
#include <memory>

#include "characters/CombatFixture.h"
#include "world/Obstacle.h"

namespace {

constexpr double kStep = 0.25f * 0.6f;  // "moveSpeed" times a red enemy's pace

class EnemySteeringTest : public CombatFixture {
protected:
    // Ticks until the enemy takes a step; that step's displacement.
    Vec3 firstStep(Enemy* enemy) {
        const Vec3 start = enemy->position;
        for (int i = 0; i < 100 && enemy->position == start; ++i) tick();
        return enemy->position - start;
    }

    Obstacle* crate(const Vec3& where, double radius) {
        return spawn(std::make_unique<Obstacle>("crate", radius, 2.0, 2.0, 0), where);
    }

    static Vec3 flat(const Vec3& v) { return Vec3(v.x, 0.0, v.z); }

    // A step of the given length heading along `way` on the floor.
    static void expectStep(const Vec3& step, const Vec3& way, double length) {
        EXPECT_NEAR(step.length(), length, 1e-9);
        EXPECT_NEAR((step / step.length() - flat(way) / flat(way).length()).length(), 0.0, 1e-9);
    }
};

// Puts a figure back where it was each tick, as a crowd in its way would: it walks on
// the spot. Updated after the figure when spawned after it.
class Crowd : public Object {
public:
    std::unique_ptr<Object> clone() const override { return std::make_unique<Crowd>(*this); }
    void update(int) override {
        if (held == nullptr) return;
        lastStep = held->position - spot;
        held->position = spot;
    }
    void hold(StickFigure* figure) {
        held = figure;
        spot = figure->position;
    }
    StickFigure* held = nullptr;
    Vec3 spot;
    Vec3 lastStep;
};

TEST_F(EnemySteeringTest, ItHeadsForThePlayerOrTheNearerPlaceBesideItAndForTheOtherOnlyWhileJammed) {
    player->position = Vec3(0, 0, -2);
    Enemy* enemy = spawn(std::make_unique<Enemy>(0), Vec3(10, 0, -8));
    expectStep(firstStep(enemy), Vec3(-10, 0, 6), kStep);  // from the enemy to the player

    // With an obstacle in view, the goal is a place beside the player: the nearer one
    // unless that one was jammed.
    game().startGame(true, false, "arena.dat");
    player = game().getPlayer1();
    player->position = Vec3(0, 0, -5);
    crate(Vec3(0, 0, -9.5), 0.5);
    const Vec3 start(6, 0, -1), nearer(2, 0, -5), farther(-2, 0, -5);
    enemy = spawn(std::make_unique<Enemy>(0), start);
    expectStep(firstStep(enemy), nearer - start, kStep);
    Crowd* crowd = spawn(std::make_unique<Crowd>(), Vec3(0, 0, 0));
    crowd->hold(enemy);
    const Vec3 way = flat(farther - crowd->spot) / flat(farther - crowd->spot).length();
    ASSERT_TRUE(tickUntil([&] { return (crowd->lastStep / kStep - way).length() < 1e-9; }, 150));
    crowd->held = nullptr;

    // The jam is over once it stands within reach of the player; after that, sent back to
    // where it started, it takes the nearer place again.
    player->position = enemy->position - Vec3(2, 0, 0);
    ASSERT_TRUE(tickUntil([&] { return enemy->getState() == Enemy::Striking; }, 100));
    player->position = Vec3(0, 0, -5);
    enemy->position = start;
    expectStep(firstStep(enemy), nearer - start, kStep);
}

TEST_F(EnemySteeringTest, AnObstacleInTheWayIsPassedAtATangentThenTheWayIsStraight) {
    player->position = Vec3(-6, 0, -5);
    const Vec3 centre(5, 0, -5);
    crate(centre, 1.0);
    Enemy* enemy = spawn(std::make_unique<Enemy>(0), Vec3(10, 0, -5));
    const Vec3 goal(-4, 0, -5);  // the free stand point on the enemy's side of the player
    const double clearance = 1.5;

    // From 5 units away the clearance circle of radius 1.5 is grazed at asin(0.3) off the
    // straight line; with the goal dead ahead the front side (z above) is taken.
    expectStep(firstStep(enemy), Vec3(-std::sqrt(1.0 - 0.09), 0, 0.3), kStep);
    EXPECT_NE(enemy->getDetourSide(), 0);

    int straightSteps = 0;
    for (int i = 0; i < 200 && enemy->getState() != Enemy::Striking; ++i) {
        const Vec3 before = enemy->position;
        const Vec3 toGoal = flat(goal - before);
        const double t = flat(centre - before).dot(toGoal) / toGoal.lengthSquared();
        const Vec3 nearest = before + toGoal * t;
        const bool clear = t < 0.0 || t > 1.0 || flat(nearest - centre).length() > clearance;
        tick();
        const Vec3 moved = enemy->position - before;
        // Within a step of touching, the crate's solid circle may push it aside as well.
        const bool bumped = flat(before - centre).length() <= 2.0 + kStep;
        ASSERT_GT(flat(enemy->position - centre).length(), 1.9) << "it never walks into the crate";
        if (clear && !bumped && moved.length() > 0.0) {
            ++straightSteps;
            expectStep(moved, toGoal, moved.length());
        }
    }
    EXPECT_GT(straightSteps, 10);
}

// Beside (or inside the clearance of) an obstacle, the player across on the far side.
TEST_F(EnemySteeringTest, NoStartBesideAnObstacleStallsTheWayRound) {
    struct Placement { double z, radius; };
    for (const Placement obstacle : {Placement{-1, 1.4}, Placement{-9, 1.6}, Placement{-5, 1.0}}) {
        for (const double side : {-1.0, 1.0}) {
            for (const double dx : {0.0, 1.5, 3.0, 4.5}) {
                for (const double dz : {-2.0, -1.0, 0.0, 1.0, 2.0}) {
                    const Vec3 start(side * dx, 0, obstacle.z + dz);
                    if (start.z > 0.0 || start.z < -10.0) continue;
                    game().startGame(true, false, "arena.dat");
                    player = game().getPlayer1();
                    player->position = Vec3(-side * 8.0, 0, obstacle.z);
                    crate(Vec3(0, 0, obstacle.z), obstacle.radius);
                    Enemy* enemy = spawn(std::make_unique<Enemy>(0), start);
                    EXPECT_TRUE(tickUntil([&] { return enemy->getState() == Enemy::Striking; }, 1000))
                        << "stuck from " << start.x << ", " << start.z;
                }
            }
        }
    }
}

}  // namespace
