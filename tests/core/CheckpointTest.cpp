// "Retry from checkpoint": the match set aside when a level starts and when the view
// moves on from a cleared stop comes back from the death and pause menus, and a replay
// of a game that used it plays back alike.
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "characters/CombatFixture.h"
#include "core/InputSeam.h"
#include "replay/Recorder.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayReader.h"
#include "ui/DeathMenu.h"
#include "ui/PauseMenu.h"

namespace {

constexpr int kAttack = 'k';
constexpr int kUp = 'w';
constexpr int kDown = 's';
constexpr int kRight = 'd';
constexpr int kEscape = 27;

// A stop at the start with one enemy, then a stop at 15 with three.
class CheckpointTest : public CombatFixture {
protected:
    void configure() override {
        set({{"punchDamage", 50.0f}}, {{"player1Attack", kAttack}, {"player1Right", kRight}});
        dir.write("levels/stops.dat",
                  "stop 0\nenemy 0 1 0 -2 0 0\n"
                  "stop 15\nenemy 0 1 12 -1 0 0\nenemy 0 1 12 -3 0 0\nenemy 0 1 12 -5 0 0\n"
                  "end 100000\n");
    }

    void press(int key) {
        InputSeam::instance().key(key, true);
        InputSeam::instance().key(key, false);
    }
    // Ticks, counting the checkpoints taken and where the player stood at the last one.
    void playTick() {
        const Match* before = game().getMatch().checkpoint.get();
        tick();
        if (game().getMatch().checkpoint.get() != before) {
            ++checkpoints;
            checkpointX = game().getPlayer1()->position.x;
        }
    }
    int livingEnemies() {
        int living = 0;
        for (const auto& object : game().getWorld()) {
            const auto* enemy = dynamic_cast<const Enemy*>(object.get());
            living += enemy != nullptr && !enemy->isDead() ? 1 : 0;
        }
        return living;
    }

    int checkpoints = 0;
    double checkpointX = 0.0;
};

TEST_F(CheckpointTest, DyingAtTheNextStopAndRetryingKeepsTheClearedStopAndPlaysBackAlike) {
    const std::string path = std::filesystem::temp_directory_path() / ("checkpoint-" + std::to_string(getpid()));
    Recorder recorder(path, Settings::instance().toLines());
    InputSeam& seam = InputSeam::instance();
    seam.setListener(&recorder);
    game().startGame(true, false, "stops.dat");

    // The first stop: punch until its enemy is down and the view moves on.
    for (int i = 0; i < 1500 && checkpoints < 2; ++i) {
        if (i % 10 == 0) press(kAttack);
        playTick();
    }
    ASSERT_EQ(checkpoints, 2) << "one as the level started, one as the first stop was cleared";
    // On to the second stop, to stand there until the three are done with the player.
    seam.key(kRight, true);
    for (int i = 0; i < 200 && game().getPlayer1()->position.x < 16.0; ++i) playTick();
    seam.key(kRight, false);
    for (int i = 0; i < 3000 && game().getMenu() == nullptr; ++i) playTick();
    ASSERT_NE(dynamic_cast<DeathMenu*>(game().getMenu()), nullptr);
    ASSERT_GT(livingEnemies(), 0) << "the second stop holds";

    press(kUp);  // from the top entry round to the last, the retry
    press(kAttack);
    Player* const player = game().getPlayer1();
    ASSERT_EQ(game().getMenu(), nullptr);
    EXPECT_FALSE(player->isDead());
    EXPECT_EQ(player->getHealth(), player->getMaxHealth());
    EXPECT_EQ(player->position.x, checkpointX);
    for (int i = 0; i < 100; ++i) playTick();
    EXPECT_EQ(livingEnemies(), 0) << "the first stop's enemy stays dead";
    EXPECT_EQ(game().getLevel().remaining().stops.size(), 1u);

    press(kEscape);
    press(kDown);
    press(kDown);
    press(kAttack);  // the pause menu's exit ends the game and its replay
    seam.setListener(nullptr);
    ReplayFile replay;
    std::string error;
    ASSERT_TRUE(ReplayReader::read(path, replay, error)) << error;
    ReplayPlayer playback(replay, "retried", false);
    Game::resetInstance();
    playback.begin();
    for (int i = 0; i < 20000 && !playback.isFinished(); ++i) game().update(20);
    std::filesystem::remove(path);
    EXPECT_TRUE(playback.isFinished());
    EXPECT_EQ(playback.differenceTick(), -1) << playback.difference();
    EXPECT_GT(playback.digestsCompared(), 10);
}

TEST_F(CheckpointTest, ThePauseMenuRetriesFromTheLevelsStartWithFullHealth) {
    game().startGame(true, false, "stops.dat");
    tick();
    const Vec3 start = game().getPlayer1()->position;
    game().keyboard(kRight, 0, true, 0);
    tick(20);
    game().getPlayer1()->takeDamage(120.0f);
    press(kEscape);
    ASSERT_NE(dynamic_cast<PauseMenu*>(game().getMenu()), nullptr);
    press(kUp);
    press(kUp);  // round past the options to the retry
    press(kAttack);
    ASSERT_EQ(game().getMenu(), nullptr);
    EXPECT_FALSE(game().isBackgroundShown());
    EXPECT_EQ(game().getPlayer1()->position.x, start.x);
    EXPECT_EQ(game().getPlayer1()->getHealth(), 300.0f);
    EXPECT_TRUE(game().isControlHeld(1)) << "the right key is still down";
}

}  // namespace
