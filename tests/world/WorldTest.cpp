#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "characters/Player.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "render/HealthBar.h"
#include "support/TempDataDir.h"
#include "world/Head.h"
#include "world/Message.h"
#include "world/Obstacle.h"
#include "world/Stick.h"

namespace {

struct Received {
    std::string receiver;
    std::string sender;
    int message;
    bool operator==(const Received& o) const {
        return receiver == o.receiver && sender == o.sender && message == o.message;
    }
};

std::ostream& operator<<(std::ostream& out, const Received& r) {
    return out << r.receiver << "<-" << r.sender << ":" << r.message;
}

// An object with chosen regions that writes down every message it receives.
class Probe : public Object {
public:
    Probe(std::string name, std::vector<Received>& log, RegionList regionList = {})
        : name(std::move(name)), log(log), own(std::move(regionList)) {}

    const RegionList& regions() const override { return own; }
    void message(Object* from, int message) override {
        const auto* sender = dynamic_cast<const Probe*>(from);
        log.push_back({name, sender != nullptr ? sender->name : std::string("?"), message});
    }

    std::string name;
    std::vector<Received>& log;
    RegionList own;
};

Region circle(RegionType type, double radius, Vec3 offset = {}) { return Region{type, offset, radius}; }

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override { Settings::instance().clear(); }

    Probe* add(const std::string& name, RegionList regions, Vec3 where = {}) {
        auto probe = std::make_unique<Probe>(name, log, std::move(regions));
        probe->position = where;
        Probe* raw = probe.get();
        game.addObject(std::move(probe));
        return raw;
    }

    TempDataDir dir;
    Game& game = Game::instance();
    std::vector<Received> log;
};

TEST_F(WorldTest, CollisionMessagesForEveryRegionPair) {
    struct Case {
        RegionType a, b;
        std::vector<Received> expected;
    };
    const std::vector<Case> cases = {
        {RegionType::Attack, RegionType::Body, {{"B", "A", Hit}, {"A", "B", HitLanded}}},
        {RegionType::Body, RegionType::Attack, {{"A", "B", Hit}, {"B", "A", HitLanded}}},
        {RegionType::Solid, RegionType::Solid, {{"A", "B", Bump}, {"B", "A", Bump}}},
        {RegionType::Reach, RegionType::Pickup, {{"A", "B", PickupTouch}}},
        {RegionType::Pickup, RegionType::Reach, {{"B", "A", PickupTouch}}},
        {RegionType::Attack, RegionType::Attack, {}},
        {RegionType::Body, RegionType::Body, {}},
        {RegionType::Solid, RegionType::Body, {}},
        {RegionType::Reach, RegionType::Reach, {}},
        {RegionType::Pickup, RegionType::Pickup, {}},
        {RegionType::Attack, RegionType::Solid, {}},
        {RegionType::Reach, RegionType::Body, {}},
    };
    for (const Case& c : cases) {
        game.clearWorld();
        log.clear();
        add("A", {circle(c.a, 1.0)});
        add("B", {circle(c.b, 1.0)}, Vec3(1.5, 0, 0));
        game.collisionPass();
        EXPECT_EQ(log, c.expected) << "regions " << static_cast<int>(c.a) << " and " << static_cast<int>(c.b);
    }
}

TEST_F(WorldTest, OverlapLiesOnTheFloorPlane) {
    add("A", {circle(RegionType::Solid, 1.0)});
    add("B", {circle(RegionType::Solid, 1.0)}, Vec3(0, 50, 0));  // only height differs
    add("C", {circle(RegionType::Solid, 1.0)}, Vec3(0, 0, -2.0));  // exactly touching A
    add("D", {circle(RegionType::Solid, 0.0)});                    // radius 0 never overlaps
    add("E", {circle(RegionType::Solid, 1.0, Vec3(10, 0, 0))}, Vec3(-8.5, 0, 0));  // offset counts
    game.collisionPass();
    auto bumped = [&](const std::string& a, const std::string& b) {
        for (const Received& r : log) {
            if (r.receiver == a && r.sender == b && r.message == Bump) return true;
        }
        return false;
    };
    EXPECT_TRUE(bumped("A", "B"));
    EXPECT_TRUE(bumped("A", "C"));
    EXPECT_TRUE(bumped("B", "C")) << "B stands above A, so on the floor it touches C too";
    EXPECT_FALSE(bumped("A", "D"));
    EXPECT_FALSE(bumped("D", "A"));
    EXPECT_TRUE(bumped("A", "E"));
}

TEST_F(WorldTest, TwoAttackRegionsGiveTwoHits) {
    add("A", {circle(RegionType::Attack, 1.0, Vec3(1, 0, 0)), circle(RegionType::Attack, 1.0, Vec3(1.5, 0, 0))});
    add("B", {circle(RegionType::Body, 1.0)}, Vec3(2, 0, 0));
    game.collisionPass();
    const std::vector<Received> expected = {
        {"B", "A", Hit}, {"A", "B", HitLanded}, {"B", "A", Hit}, {"A", "B", HitLanded}};
    EXPECT_EQ(log, expected);
}

TEST_F(WorldTest, EachPairIsTestedOnceEarlierObjectFirst) {
    add("A", {circle(RegionType::Solid, 1.0)});
    add("B", {circle(RegionType::Solid, 1.0)});
    add("C", {circle(RegionType::Solid, 1.0)});
    game.collisionPass();
    const std::vector<Received> expected = {{"A", "B", Bump}, {"B", "A", Bump}, {"A", "C", Bump},
                                            {"C", "A", Bump}, {"B", "C", Bump}, {"C", "B", Bump}};
    EXPECT_EQ(log, expected);
}

TEST_F(WorldTest, KilledObjectsGoAtTheNextRemovalPass) {
    Probe* a = add("A", {});
    add("B", {});
    a->kill();
    EXPECT_EQ(game.getWorld().size(), 2u);
    game.removeKilledObjects();
    ASSERT_EQ(game.getWorld().size(), 1u);
    EXPECT_EQ(static_cast<Probe*>(game.getWorld().front().get())->name, "B");
    EXPECT_TRUE(log.empty()) << "removal sends no message";
}

TEST_F(WorldTest, RemoveObjectHandsOwnershipBackAndTellsTheOthers) {
    add("A", {});
    Probe* b = add("B", {});
    add("C", {});
    std::unique_ptr<Object> taken = game.removeObject(b);
    EXPECT_EQ(taken.get(), b);
    EXPECT_EQ(game.getWorld().size(), 2u);
    const std::vector<Received> expected = {{"A", "B", Removed}, {"C", "B", Removed}};
    EXPECT_EQ(log, expected);
    game.addObject(std::move(taken));
    EXPECT_EQ(game.getWorld().back().get(), b);
}

TEST_F(WorldTest, RemovingAPlayerClearsOnlyItsSlot) {
    game.startGame(true, true, "none.dat");
    Player* first = game.getPlayer1();
    Player* second = game.getPlayer2();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    std::unique_ptr<Object> taken = game.removeObject(second);
    EXPECT_EQ(game.getPlayer2(), nullptr);
    EXPECT_EQ(game.getPlayer1(), first);
}

TEST_F(WorldTest, BroadcastSkipsSenderAndRemovedObjects) {
    Probe* a = add("A", {});
    Probe* b = add("B", {});
    add("C", {});
    b->kill();
    game.broadcast(a, Explosion);
    const std::vector<Received> expected = {{"C", "A", Explosion}};
    EXPECT_EQ(log, expected);
}

TEST_F(WorldTest, DrawOrderSortIsStable) {
    Probe* far1 = add("far1", {}, Vec3(0, 0, -5));
    Probe* hud = add("hud", {}, Vec3(0, 0, -100));
    hud->drawLast = true;
    Probe* near1 = add("near1", {}, Vec3(0, 0, 0));
    Probe* far2 = add("far2", {}, Vec3(3, 0, -5));
    Probe* near2 = add("near2", {}, Vec3(0, 0, 0));
    game.sortForDrawing();
    std::vector<Object*> order;
    for (const auto& object : game.getWorld()) order.push_back(object.get());
    const std::vector<Object*> expected = {far1, far2, near1, near2, hud};
    EXPECT_EQ(order, expected);
}

TEST_F(WorldTest, ClampHoldsLivingFiguresOnly) {
    game.clearWorld();
    auto living = std::make_unique<StickFigure>(Color());
    auto dead = std::make_unique<StickFigure>(Color());
    living->position = Vec3(100, 0, 5);
    dead->position = Vec3(100, 0, 5);
    dead->die();
    StickFigure* livingRaw = living.get();
    StickFigure* deadRaw = dead.get();
    game.addObject(std::move(living));
    game.addObject(std::move(dead));
    game.clampToView();
    const Level& level = game.getLevel();
    EXPECT_DOUBLE_EQ(livingRaw->position.z, level.frontLimit());
    EXPECT_DOUBLE_EQ(livingRaw->position.x, level.rightEdge(20.0));
    EXPECT_EQ(deadRaw->position, Vec3(100, 0, 5));

    livingRaw->position = Vec3(-100, 0, -50);
    game.clampToView();
    EXPECT_DOUBLE_EQ(livingRaw->position.z, level.backLimit());
    EXPECT_DOUBLE_EQ(livingRaw->position.x, level.leftEdge(20.0 - level.backLimit()));
}

TEST_F(WorldTest, OffscreenRemovalSparesPlayersAndHud) {
    Settings::instance().setFloat("leftDeadSpace", 5.0f);
    game.startGame(true, false, "none.dat");
    const double edge = game.getLevel().leftEdge(20.0);
    Probe* justInside = add("in", {}, Vec3(edge - 5.0, 0, 0));
    Probe* beyond = add("out", {}, Vec3(edge - 5.01, 0, 0));
    game.getPlayer1()->position.x = edge - 50.0;
    game.removeOffscreenObjects();
    EXPECT_FALSE(justInside->removed);
    EXPECT_TRUE(beyond->removed);
    EXPECT_FALSE(game.getPlayer1()->removed);
    game.removeKilledObjects();
    bool hudStays = false;
    for (const auto& object : game.getWorld()) {
        if (dynamic_cast<HealthBar*>(object.get()) != nullptr) hudStays = true;
    }
    EXPECT_TRUE(hudStays) << "a HUD object's kill does nothing";
}

TEST_F(WorldTest, SearchesFindVisibleWeaponsCorpsesAndObstacles) {
    Settings::instance().setFloat("z_offset", 25.0f);
    auto far = std::make_unique<Stick>(Color());
    far->position = Vec3(10, 0, 0);
    Stick* farStick = far.get();
    game.addObject(std::move(far));
    auto corpse = std::make_unique<StickFigure>(Color());
    corpse->position = Vec3(-6, 0, 0);
    corpse->die();
    StickFigure* corpseRaw = corpse.get();
    game.addObject(std::move(corpse));
    auto outOfView = std::make_unique<Head>(Color());
    outOfView->position = Vec3(40, 0, 0);
    game.addObject(std::move(outOfView));
    add("probe", {}, Vec3(1, 0, 0));

    EXPECT_EQ(game.findNearestTarget(Vec3(0, 0, 0)), corpseRaw);
    EXPECT_EQ(game.findNearestTarget(Vec3(8, 0, 0)), farStick);
    EXPECT_EQ(game.findNearestObstacle(Vec3(0, 0, 0)), nullptr);

    auto flat = std::make_unique<Obstacle>("crate", 0.0, 4, 4, 1);
    flat->position = Vec3(1, 0, 0);
    game.addObject(std::move(flat));
    auto crate = std::make_unique<Obstacle>("crate", 1.5, 4, 4, 1);
    crate->position = Vec3(5, 0, -3);
    Obstacle* crateRaw = crate.get();
    game.addObject(std::move(crate));
    EXPECT_EQ(game.findNearestObstacle(Vec3(0, 0, 0)), crateRaw) << "an obstacle without radius is no obstacle";
}

TEST_F(WorldTest, UnhandledMessagesAreReported) {
    Object plain;
    testing::internal::CaptureStdout();
    plain.message(nullptr, 5);
    plain.message(nullptr, Removed);
    plain.message(nullptr, Explosion);
    plain.message(nullptr, Hit);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Unhandled message: 5\nUnhandled message: 0\n");
}

}  // namespace
