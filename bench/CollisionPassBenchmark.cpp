// The collision pass alone, over real enemies, corpses-to-be and crates: spread along
// the floor as a long level would leave them (about one object per floor unit of x), and
// packed into one screen as a level that spawns everything on one trigger would.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "characters/Enemy.h"
#include "characters/StartupAnimations.h"
#include "core/Game.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "world/Obstacle.h"

namespace {

void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

// A scratch data directory with short animations and an empty level.
class Arena {
public:
    Arena() {
        char pattern[] = "/tmp/mb-collision-bench-XXXXXX";
        root = mkdtemp(pattern);
        std::string frame;
        for (int joint = 0; joint < 18; ++joint) frame += "10 ";
        frame += "100\n";
        for (const StartupAnimation& animation : kStartupAnimations) {
            writeFile(root / "animations" / animation.file, std::string(animation.name) + "\n" + frame + frame);
        }
        writeFile(root / "levels" / "arena.dat", "end 100000000\n");
        std::filesystem::current_path(root);
        Settings::instance().setFloat("z_offset", 25.0f);
    }
    ~Arena() {
        std::filesystem::current_path("/");
        std::filesystem::remove_all(root);
    }

private:
    std::filesystem::path root;
};

double spread(double low, double high) { return low + (high - low) * (std::rand() % 32768) / 32768.0; }

// `count` objects, one in eight a crate, over `width` units of floor.
void fill(int count, double width) {
    Game& game = Game::instance();
    game.startGame(false, false, "arena.dat");
    game.clearWorld();
    std::srand(5);
    seedRandom(5);
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<Object> object;
        if (i % 8 == 0) {
            object = std::make_unique<Obstacle>("crate", 1.0, 2.0, 2.0, 0);
        } else {
            object = std::make_unique<Enemy>(i % 4);
        }
        object->position = Vec3(spread(0.0, width), 0.0, spread(-9.0, -1.0));
        game.addObject(std::move(object));
    }
}

void run(benchmark::State& state, double width) {
    const int count = static_cast<int>(state.range(0));
    fill(count, width);
    Game& game = Game::instance();
    for (auto _ : state) {
        game.collisionPass();
    }
    state.counters["objects"] = count;
}

void BM_CollisionPassSpreadOut(benchmark::State& state) { run(state, static_cast<double>(state.range(0))); }
BENCHMARK(BM_CollisionPassSpreadOut)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// One screen of floor: most pairs really touch, so the pass can only be as quick as the
// messages it must send.
void BM_CollisionPassOneScreen(benchmark::State& state) { run(state, 30.0); }
BENCHMARK(BM_CollisionPassOneScreen)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    const Arena arena;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
