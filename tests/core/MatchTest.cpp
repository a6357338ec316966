// The match as one value: its dice, its objects and the references between them are
// copied and brought back exactly, and a copy goes on as the original would have.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "characters/CombatFixture.h"
#include "core/CRandom.h"
#include "core/Random.h"
#include "replay/StateDigest.h"
#include "world/Handle.h"
#include "world/Stick.h"

namespace {

class MatchTest : public CombatFixture {
protected:
    // Enemies of every kind, some armed, around the player of the current game.
    void crowd() {
        seedRandom(5);
        for (int i = 0; i < 8; ++i) {
            Enemy* enemy = spawn(std::make_unique<Enemy>(i % 4), Vec3(i % 2 == 0 ? -8 - i : 8 + i, 0, -1.0 - i));
            if (i % 3 == 0) enemy->takeWeapon(std::make_unique<Stick>(Color(0, 0, 0, 1)));
        }
    }
};

TEST_F(MatchTest, TheGeneratorDrawsWhatTheCLibraryDrawsAndACopyGoesOnAlike) {
    for (const unsigned seed : {0u, 1u, 7u, 12345u, 0x80000000u, 0xffffffffu}) {
        std::srand(seed);
        CRandom ours(seed);
        for (int i = 0; i < 5000; ++i) ASSERT_EQ(ours.next(), std::rand()) << "seed " << seed << ", draw " << i;
    }
    CRandom unseeded;
    CRandom copy = unseeded;
    std::srand(1);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(unseeded.next(), std::rand());
    for (int i = 0; i < 100; ++i) copy.next();
    EXPECT_EQ(copy, unseeded);
}

// Run under AddressSanitizer too: a reference kept past its target's deletion must never
// reach freed memory.
TEST_F(MatchTest, AReferenceToAnObjectThatLeftTheWorldReadsAsGone) {
    Stick* stick = spawn(std::make_unique<Stick>(Color(0, 0, 0, 1)), Vec3(3, 0, -2));
    const Handle<Object> toStick(stick);
    ASSERT_EQ(toStick.get(), stick);
    stick->kill();
    EXPECT_EQ(toStick.get(), stick) << "killed, it stays until the removal pass";
    game().removeKilledObjects();
    EXPECT_TRUE(toStick.isGone());
    EXPECT_EQ(toStick.get(), nullptr);

    // A victim whose ripper is deleted without a word lets go of it.
    Enemy* victim = spawn(std::make_unique<Enemy>(0), Vec3(2, 0, -2));
    Enemy* ripper = spawn(std::make_unique<Enemy>(1), Vec3(1, 0, -2));
    victim->setRipper(ripper);
    ripper->kill();
    game().removeKilledObjects();
    ASSERT_TRUE(victim->isBeingRipped());
    victim->afterUpdate();
    EXPECT_FALSE(victim->isBeingRipped());

    // A newcomer never takes an id that a reference could still hold.
    Stick* newcomer = spawn(std::make_unique<Stick>(Color(0, 0, 0, 1)), Vec3(3, 0, -2));
    EXPECT_NE(newcomer->id(), toStick.id());
    EXPECT_EQ(toStick.get(), nullptr);
}

TEST_F(MatchTest, ABroughtBackMatchGoesOnAsItDidWithItsReferencesLeadingToTheCopies) {
    crowd();
    tick(120);
    const Match saved = game().snapshot();
    tick(300);
    const StateDigest first = StateDigest::of(game());

    game().restore(saved);
    bool aimedAtTheCopy = false;
    for (const auto& object : game().getWorld()) {
        if (const auto* enemy = dynamic_cast<const Enemy*>(object.get())) {
            aimedAtTheCopy = aimedAtTheCopy || enemy->getTarget() == game().getPlayer1();
        }
    }
    EXPECT_TRUE(aimedAtTheCopy);
    tick(300);
    EXPECT_EQ(StateDigest::of(game()).firstDifference(first), "");
}

TEST_F(MatchTest, TwoGamesInOneProcessEachGoOnByTheirOwnMatch) {
    crowd();
    std::unique_ptr<Game> other = Game::create();
    Game::swapInstance(other);
    game().startGame(true, false, "arena.dat");
    crowd();
    // Tick for tick in turn: whatever one game kept outside its match, the other would see.
    for (int i = 0; i < 400; ++i) {
        Game::swapInstance(other);
        tick();
        Game::swapInstance(other);
        tick();
    }
    const StateDigest second = StateDigest::of(game());
    Game::swapInstance(other);
    EXPECT_EQ(StateDigest::of(game()).firstDifference(second), "");
    EXPECT_GT(AttackerTally::instance().count(0), 0);
}

}  // namespace
