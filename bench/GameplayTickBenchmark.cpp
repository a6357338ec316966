// Gameplay ticks as the main loop runs them (updates, removal, ink, clamp, collision
// pass, level, sort; no drawing): a crowd of enemies running their AI against two
// players, the same crowd while the game is recorded as a replay, and a fuller arena
// with many obstacles and the splat pools full. Beside them, what setting the match
// aside and bringing it back costs (a rollback does both every tick).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "characters/StartupAnimations.h"
#include "characters/Enemy.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/Random.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "replay/Recorder.h"
#include "replay/StateDigest.h"
#include "world/Ink.h"
#include "world/Obstacle.h"
#include "world/Stick.h"

namespace {

constexpr int kMaxSplats = 1500;
constexpr int kWarmUpTicks = 300;

void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

// A scratch data directory with short animations and an endless level; the working
// directory while the benchmarks run.
class Arena {
public:
    Arena() {
        char pattern[] = "/tmp/mb-tick-bench-XXXXXX";
        root = mkdtemp(pattern);
        std::string frame;
        for (int joint = 0; joint < 18; ++joint) frame += "10 ";
        frame += "100\n";
        for (const StartupAnimation& animation : kStartupAnimations) {
            writeFile(root / "animations" / animation.file, std::string(animation.name) + "\n" + frame + frame + frame);
        }
        writeFile(root / "levels" / "arena.dat", "end 100000\n");
        std::filesystem::current_path(root);
        configure();
    }
    ~Arena() {
        std::filesystem::current_path("/");
        std::filesystem::remove_all(root);
    }

private:
    // Nobody takes damage, so the fight goes on for as long as the benchmark runs; every
    // blow still bleeds.
    static void configure() {
        Settings& s = Settings::instance();
        s.setFloat("punchAttackDist", 1.0f);
        s.setFloat("stickAttackDist", 1.5f);
        s.setFloat("moveSpeed", 0.25f);
        s.setFloat("throwSpeed", 30.0f);
        s.setFloat("gravity", 40.0f);
        s.setFloat("headRadius", 0.6f);
        s.setInt("swingsPerStick", 1000000);
        s.setInt("throwsPerHead", 1000000);
        s.setInt("throwDuration", 400);
        s.setInt("maxSplats", kMaxSplats);
        s.setFloat("x_offset", 10.0f);
        s.setFloat("z_offset", 25.0f);
        s.setFloat("leftDeadSpace", 10.0f);
        for (const char* effect : {"punchHit", "stickHit", "headHit"}) {
            const std::string name(effect);
            s.setInt(name + "ParticleCount", 6);
            s.setFloat(name + "ParticlePercent", 0.7f);
            s.setFloat(name + "ParticleSpeed", 6.0f);
            s.setFloat(name + "ParticleSpeedVariance", 3.0f);
            s.setFloat(name + "ParticleSize", 0.2f);
            s.setFloat(name + "ParticlePhi", 0.5f);
        }
    }

    std::filesystem::path root;
};

double spread(double low, double high) { return low + (high - low) * (std::rand() % 32768) / 32768.0; }

// A fresh game with two players and `enemies` enemies of every kind (a third of them
// with sticks), already past their start delay, and `obstacles` crates.
void setUpFight(int enemies, int obstacles) {
    Game& game = Game::instance();
    game.startGame(true, true, "arena.dat");
    // After the start, which seeds the generator afresh when the game is recorded.
    std::srand(11);
    seedRandom(11);
    game.getPlayer1()->position = Vec3(-5, 0, -4);
    game.getPlayer2()->position = Vec3(5, 0, -4);
    for (int i = 0; i < obstacles; ++i) {
        auto crate = std::make_unique<Obstacle>("crate", spread(0.5, 1.2), 2.0, 2.0, 0);
        crate->position = Vec3(spread(-13, 13), 0.0, spread(-9, -1));
        game.addObject(std::move(crate));
    }
    for (int i = 0; i < enemies; ++i) {
        auto enemy = std::make_unique<Enemy>(i % 4);
        enemy->position = Vec3(spread(-14, 14), 0.0, spread(-9, -1));
        Enemy* const placed = enemy.get();
        game.addObject(std::move(enemy));
        if (i % 3 == 0) placed->takeWeapon(std::make_unique<Stick>(Color(0, 0, 0, 1)));
    }
    for (int i = 0; i < kWarmUpTicks; ++i) game.update(20);
}

// Drops on the floor until the splat pool and the pool of splats fading away are full.
void fillSplats() {
    Ink& ink = Ink::instance();
    for (int round = 0; round < 4 && ink.fadingCount() < ink.capacity(); ++round) {
        for (int i = 0; i < kMaxSplats; ++i) {
            ink.burst(Vec3(spread(-14, 14), 0.5, spread(-10, 0)), 0.0, 0.0, 0.3, 0.1, 1, Color(0.6, 0, 0, 1));
        }
        for (int i = 0; i < 20; ++i) ink.update(20);
    }
}

void BM_CrowdOfEnemies(benchmark::State& state) {
    setUpFight(40, 4);
    Game& game = Game::instance();
    for (auto _ : state) {
        game.update(20);
    }
    state.counters["objects"] = static_cast<double>(game.getWorld().size());
    state.counters["splats"] = Ink::instance().splatCount();
}
BENCHMARK(BM_CrowdOfEnemies)->Unit(benchmark::kMicrosecond)->MinTime(3.0);

// The recorder's share of a tick: a state digest every 50 ticks, written to a file.
void BM_CrowdOfEnemiesRecorded(benchmark::State& state) {
    Recorder recorder("recorded.replay", Settings::instance().toLines());
    InputSeam& seam = InputSeam::instance();
    seam.setListener(&recorder);
    setUpFight(40, 4);
    Game& game = Game::instance();
    for (auto _ : state) {
        game.update(20);
    }
    seam.playEnding();
    seam.setListener(nullptr);
    state.counters["objects"] = static_cast<double>(game.getWorld().size());
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size("recorded.replay"));
}
BENCHMARK(BM_CrowdOfEnemiesRecorded)->Unit(benchmark::kMicrosecond)->MinTime(3.0);

// One state digest of the crowd; a recorded game takes one every 50 ticks.
void BM_StateDigestOfTheCrowd(benchmark::State& state) {
    setUpFight(40, 4);
    for (auto _ : state) {
        benchmark::DoNotOptimize(StateDigest::of(Game::instance()));
    }
}
BENCHMARK(BM_StateDigestOfTheCrowd)->Unit(benchmark::kMicrosecond);

void BM_CrowdWithObstaclesAndFullSplatPools(benchmark::State& state) {
    setUpFight(40, 20);
    fillSplats();
    Game& game = Game::instance();
    for (auto _ : state) {
        game.update(20);
    }
    state.counters["objects"] = static_cast<double>(game.getWorld().size());
    state.counters["splats"] = Ink::instance().splatCount();
    state.counters["fading"] = Ink::instance().fadingCount();
}
BENCHMARK(BM_CrowdWithObstaclesAndFullSplatPools)->Unit(benchmark::kMicrosecond)->MinTime(3.0);

// A snapshot of the crowd (two players, their health bars, the HUD, 40 enemies, a
// third of them with sticks, and 4 crates: 49 objects, with the drops and splats of
// the fight so far), then the snapshot brought back.
void BM_SnapshotAndRestoreOfTheCrowd(benchmark::State& state) {
    setUpFight(40, 4);
    Game& game = Game::instance();
    for (auto _ : state) {
        const Match saved = game.snapshot();
        game.restore(saved);
    }
    state.counters["objects"] = static_cast<double>(game.getWorld().size());
    state.counters["drops"] = Ink::instance().particleCount();
    state.counters["splats"] = Ink::instance().splatCount();
}
BENCHMARK(BM_SnapshotAndRestoreOfTheCrowd)->Unit(benchmark::kMicrosecond);

// The snapshot alone: what a rollback pays on every tick that needs no correction.
void BM_SnapshotOfTheCrowd(benchmark::State& state) {
    setUpFight(40, 4);
    Game& game = Game::instance();
    for (auto _ : state) {
        benchmark::DoNotOptimize(game.snapshot());
    }
}
BENCHMARK(BM_SnapshotOfTheCrowd)->Unit(benchmark::kMicrosecond);

// The same with every splat pool full: the floor's 1500 splats and as many fading.
void BM_SnapshotAndRestoreWithFullSplatPools(benchmark::State& state) {
    setUpFight(40, 4);
    fillSplats();
    Game& game = Game::instance();
    for (auto _ : state) {
        const Match saved = game.snapshot();
        game.restore(saved);
    }
    state.counters["objects"] = static_cast<double>(game.getWorld().size());
    state.counters["splats"] = Ink::instance().splatCount();
    state.counters["fading"] = Ink::instance().fadingCount();
}
BENCHMARK(BM_SnapshotAndRestoreWithFullSplatPools)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    const Arena arena;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
