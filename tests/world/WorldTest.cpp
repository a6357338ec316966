#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <utility>

#include "characters/Enemy.h"
#include "characters/Player.h"
#include "core/Settings.h"
#include "render/HealthBar.h"
#include "support/TempDataDir.h"
#include "world/Head.h"
#include "world/Message.h"
#include "world/CollisionPass.h"
#include "world/Obstacle.h"
#include "world/Stick.h"

#include "RegionProbe.h"

namespace {

using R = RegionType;

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override { Settings::instance().clear(); }

    RegionProbe* add(const std::string& name, RegionList regions, const Vec3& where = {}) {
        return placeInWorld(std::make_unique<RegionProbe>(name, log, std::move(regions)), where);
    }

    TempDataDir dir;
    Game& game = Game::instance();
    std::vector<Received> log;
};

TEST_F(WorldTest, CollisionMessagesInOrderForEveryRegionPair) {
    const std::map<std::pair<R, R>, std::vector<Received>> answers = {
        {{R::Attack, R::Body}, {{"B", "A", Hit}, {"A", "B", HitLanded}}},
        {{R::Body, R::Attack}, {{"A", "B", Hit}, {"B", "A", HitLanded}}},
        {{R::Solid, R::Solid}, {{"A", "B", Bump}, {"B", "A", Bump}}},
        {{R::Reach, R::Pickup}, {{"A", "B", PickupTouch}}},
        {{R::Pickup, R::Reach}, {{"B", "A", PickupTouch}}},
    };
    for (int a = 0; a <= static_cast<int>(R::Pickup); ++a) {
        for (int b = 0; b <= static_cast<int>(R::Pickup); ++b) {
            game.clearWorld();
            log.clear();
            add("A", {circle(R(a), 1.0)});
            add("B", {circle(R(b), 1.0)}, Vec3(1.5, 0, 0));
            game.collisionPass();
            const auto answer = answers.find({R(a), R(b)});
            EXPECT_EQ(log, answer == answers.end() ? std::vector<Received>{} : answer->second)
                << "regions " << a << " and " << b;
        }
    }

    // Regions in list order, every overlapping pair of regions, each object pair once with
    // the earlier object first: two Attack regions over one Body give two Hits.
    game.clearWorld();
    log.clear();
    add("A", {circle(R::Attack, 1.0), circle(R::Attack, 1.0, Vec3(0.5, 0, 0)), circle(R::Solid, 1.0)});
    add("B", {circle(R::Body, 1.0), circle(R::Solid, 1.0)});
    add("C", {circle(R::Solid, 1.0)});
    game.collisionPass();
    const std::vector<Received> expected = {
        {"B", "A", Hit},  {"A", "B", HitLanded}, {"B", "A", Hit},  {"A", "B", HitLanded}, {"A", "B", Bump},
        {"B", "A", Bump}, {"A", "C", Bump},      {"C", "A", Bump}, {"B", "C", Bump},      {"C", "B", Bump}};
    EXPECT_EQ(log, expected);
}

TEST_F(WorldTest, OverlapLiesOnTheFloorPlane) {
    add("A", {circle(R::Solid, 1.0)});
    add("B", {circle(R::Solid, 1.0)}, Vec3(0, 50, 0));                     // only height differs
    add("C", {circle(R::Solid, 1.0)}, Vec3(0, 0, -2.0));                   // exactly touching A
    add("D", {circle(R::Solid, 0.0)});                                     // radius 0 never overlaps
    add("E", {circle(R::Solid, 1.0, Vec3(10, 0, 0))}, Vec3(-8.5, 0, 0));  // offset counts
    game.collisionPass();
    auto bumped = [&](const std::string& a, const std::string& b) {
        return std::count(log.begin(), log.end(), Received{a, b, Bump}) == 1;
    };
    EXPECT_TRUE(bumped("A", "B"));
    EXPECT_TRUE(bumped("A", "C"));
    EXPECT_TRUE(bumped("B", "C")) << "B stands above A, so on the floor it touches C too";
    EXPECT_FALSE(bumped("A", "D") || bumped("D", "A"));
    EXPECT_TRUE(bumped("A", "E"));
}

// An object that reacts the way figures, heads and crates do, only more: it is pushed
// across the grid's strips by bumps, swaps its regions when hit, adds newcomers to the
// world and broadcasts, all in the middle of the pass. Every message goes into one log.
class RestlessProbe : public Object {
public:
    RestlessProbe(int id, std::vector<std::tuple<int, int, int>>& log, RegionList calm, RegionList angry, int& births)
        : id(id), log(log), calm(std::move(calm)), angry(std::move(angry)), births(births) {}

    std::unique_ptr<Object> clone() const override { return std::make_unique<RestlessProbe>(*this); }
    const RegionList& regions() const override { return isAngry ? angry : calm; }
    void message(Object* from, int message) override {
        const auto* sender = dynamic_cast<const RestlessProbe*>(from);
        log.emplace_back(id, sender != nullptr ? sender->id : -1, message);
        ++received;
        if (message == Bump) {
            position.x += position.x < from->position.x ? -1.7 : 1.7;
        } else if (message == Hit) {
            isAngry = !isAngry;
        } else if (message == HitLanded && received % 3 == 0 && births < 40) {
            auto newcomer = std::make_unique<RestlessProbe>(1000 + births++, log, angry, calm, births);
            newcomer->position = position + Vec3(2.5, 0, 0);
            Game::instance().addObject(std::move(newcomer));
        } else if (message == PickupTouch && received % 4 == 0) {
            Game::instance().broadcast(this, Explosion);
        } else if (message == Explosion) {
            position.z -= 0.9;
        }
    }

    int id;
    std::vector<std::tuple<int, int, int>>& log;
    RegionList calm, angry;
    int& births;
    bool isAngry = false;
    int received = 0;
};

// The pass that skips distant pairs sends exactly the messages, in exactly the order, of
// the walk over every pair, through five passes of a crowd that keeps changing under it.
TEST_F(WorldTest, PrunedPassSendsWhatTheWalkOverEveryPairSends) {
    using Log = std::vector<std::tuple<int, int, int>>;
    const auto crowd = [&](Log& messages, int& births) {
        game.clearWorld();
        unsigned seed = 7;
        const auto next = [&seed](double low, double high) {
            seed = seed * 1103515245u + 12345u;
            return low + (high - low) * ((seed >> 8) & 0xffff) / 65536.0;
        };
        const auto someRegions = [&] {
            RegionList list;
            for (int n = 1 + static_cast<int>(next(0, 3)); n > 0; --n) {
                list.push_back(circle(R(static_cast<int>(next(0, 5))), next(0.2, 2.5), Vec3(next(-3, 3), 0, next(-1, 1))));
            }
            return list;
        };
        for (int i = 0; i < 400; ++i) {
            RegionList calm = someRegions();
            if (i % 97 == 5) calm.push_back(circle(R::Solid, 60.0));                 // spans many strips
            if (i % 131 == 7) calm.push_back(circle(R::Body, 1e200));                // touches everything
            if (i % 89 == 3) calm = {circle(R::Solid, 0.0), circle(R::Pickup, -1)};  // touches nothing
            auto probe = std::make_unique<RestlessProbe>(i, messages, calm, someRegions(), births);
            probe->position = Vec3(next(-20, 300), next(0, 5), next(-10, 0));
            if (i == 50) probe->position.x = std::nan("");
            game.addObject(std::move(probe));
        }
    };

    Log walked, pruned;
    int walkedBirths = 0, prunedBirths = 0;
    std::vector<double> walkedPlaces, prunedPlaces;
    crowd(walked, walkedBirths);
    for (int pass = 0; pass < 5; ++pass) {
        const Game::World& world = game.getWorld();
        for (auto a = world.begin(); a != world.end(); ++a) {
            for (auto b = std::next(a); b != world.end(); ++b) CollisionPass::testPair(**a, **b);
        }
    }
    for (const auto& object : game.getWorld()) walkedPlaces.push_back(object->position.x + object->position.z);
    crowd(pruned, prunedBirths);
    for (int pass = 0; pass < 5; ++pass) game.collisionPass();
    for (const auto& object : game.getWorld()) prunedPlaces.push_back(object->position.x + object->position.z);

    ASSERT_GT(walked.size(), 2000u);
    EXPECT_GT(walkedBirths, 10);
    EXPECT_TRUE(std::any_of(walked.begin(), walked.end(), [](const auto& m) { return std::get<2>(m) == Explosion; }));
    EXPECT_EQ(pruned, walked);
    EXPECT_EQ(prunedPlaces.size(), walkedPlaces.size());
    EXPECT_TRUE(std::equal(prunedPlaces.begin(), prunedPlaces.end(), walkedPlaces.begin(), walkedPlaces.end(),
                           [](double p, double w) { return p == w || (std::isnan(p) && std::isnan(w)); }));
}

TEST_F(WorldTest, ObjectsLeaveByRemoveObjectKillOrGoingOffScreen) {
    Settings::instance().setFloat("leftDeadSpace", 5.0f);
    game.startGame(true, true, "none.dat");
    Player* const first = game.getPlayer1();
    ASSERT_TRUE(first != nullptr && game.getPlayer2() != nullptr);
    const double edge = game.getLevel().leftEdge(20.0);
    RegionProbe* a = add("A", {}, Vec3(edge - 5.0, 0, 0));  // just inside the dead space
    RegionProbe* b = add("B", {});
    RegionProbe* c = add("C", {}, Vec3(edge - 5.01, 0, 0));
    RegionProbe* d = add("D", {});

    std::unique_ptr<Object> taken = game.removeObject(b);
    EXPECT_EQ(taken.get(), b);
    EXPECT_EQ(log, (std::vector<Received>{{"A", "B", Removed}, {"C", "B", Removed}, {"D", "B", Removed}}));
    game.addObject(std::move(taken));
    EXPECT_EQ(game.getWorld().back().get(), b);
    taken = game.removeObject(game.getPlayer2());
    EXPECT_EQ(game.getPlayer2(), nullptr);
    EXPECT_EQ(game.getPlayer1(), first);

    log.clear();
    b->kill();
    game.broadcast(a, Explosion);
    EXPECT_EQ(log, (std::vector<Received>{{"C", "A", Explosion}, {"D", "A", Explosion}}));
    first->position.x = edge - 50.0;
    game.removeOffscreenObjects();
    EXPECT_TRUE(!a->removed && c->removed && !first->removed);
    EXPECT_EQ(objectsOf<RegionProbe>().size(), 4u) << "killed objects stay until the removal pass";
    game.removeKilledObjects();
    EXPECT_EQ(objectsOf<RegionProbe>(), (std::vector<RegionProbe*>{a, d}));
    EXPECT_EQ(log.size(), 2u) << "removal sends no message";
    EXPECT_FALSE(objectsOf<HealthBar>().empty()) << "a HUD object's kill does nothing";
}

TEST_F(WorldTest, DrawOrderSortIsStable) {
    RegionProbe* far1 = add("far1", {}, Vec3(0, 0, -5));
    RegionProbe* hud = add("hud", {}, Vec3(0, 0, -100));
    hud->drawLast = true;
    RegionProbe* near1 = add("near1", {});
    RegionProbe* far2 = add("far2", {}, Vec3(3, 0, -5));
    RegionProbe* near2 = add("near2", {});
    game.sortForDrawing();
    EXPECT_EQ(objectsOf<RegionProbe>(), (std::vector<RegionProbe*>{far1, far2, near1, near2, hud}));
}

TEST_F(WorldTest, ClampHoldsLivingFiguresOnly) {
    StickFigure* living = placeInWorld(std::make_unique<StickFigure>(Color()), Vec3(100, 0, 5));
    StickFigure* dead = placeInWorld(std::make_unique<StickFigure>(Color()), Vec3(100, 0, 5));
    dead->die();
    game.clampToView();
    const Level& level = game.getLevel();
    EXPECT_EQ(living->position, Vec3(level.rightEdge(20.0), 0, level.frontLimit()));
    EXPECT_EQ(dead->position, Vec3(100, 0, 5));

    living->position = Vec3(-100, 0, -50);
    game.clampToView();
    EXPECT_EQ(living->position, Vec3(level.leftEdge(20.0 - level.backLimit()), 0, level.backLimit()));
}

TEST_F(WorldTest, SearchesFindVisibleWeaponsCorpsesObstaclesAndEnemies) {
    Settings::instance().setFloat("z_offset", 25.0f);
    Stick* stick = placeInWorld(std::make_unique<Stick>(Color()), Vec3(10, 0, 0));
    StickFigure* corpse = placeInWorld(std::make_unique<StickFigure>(Color()), Vec3(-6, 0, 0));
    corpse->die();
    placeInWorld(std::make_unique<Head>(Color()), Vec3(40, 0, 0));  // out of view
    add("probe", {}, Vec3(1, 0, 0));

    EXPECT_EQ(game.findNearestTarget(Vec3(0, 0, 0)), corpse);
    EXPECT_EQ(game.findNearestTarget(Vec3(8, 0, 0)), stick);
    Player* fallen = placeInWorld(std::make_unique<Player>(Color()), Vec3(7, 0, 0));
    fallen->die();
    EXPECT_EQ(game.findNearestTarget(Vec3(8, 0, 0)), stick) << "a fallen player is no weapon";
    EXPECT_EQ(game.findNearestObstacle(Vec3(0, 0, 0)), nullptr);

    placeInWorld(std::make_unique<Obstacle>("crate", 0.0, 4, 4, 1), Vec3(1, 0, 0));
    Obstacle* crate = placeInWorld(std::make_unique<Obstacle>("crate", 1.5, 4, 4, 1), Vec3(5, 0, -3));
    EXPECT_EQ(game.findNearestObstacle(Vec3(0, 0, 0)), crate) << "an obstacle without radius is no obstacle";

    placeInWorld(std::make_unique<Enemy>(0), Vec3(1, 0, 0))->die();
    Enemy* blue = placeInWorld(std::make_unique<Enemy>(1), Vec3(3, 0, 0));
    Enemy* red = placeInWorld(std::make_unique<Enemy>(0), Vec3(12, 0, 0));
    EXPECT_EQ(game.findNearestEnemy(Vec3(0, 0, 0)), blue) << "a fallen enemy is no enemy";
    EXPECT_EQ(game.findNearestEnemy(Vec3(0, 0, 0), [](const Enemy& e) { return e.getMaxHealth() < 50.0f; }), red);
}

TEST_F(WorldTest, UnhandledMessagesAreReported) {
    RegionProbe plain("plain", log);
    testing::internal::CaptureStdout();
    for (const int message : {5, int(Removed), int(Explosion), int(Hit)}) plain.Object::message(nullptr, message);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Unhandled message: 5\nUnhandled message: 0\n");
}

}  // namespace
