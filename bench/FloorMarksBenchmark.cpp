// What the marks on the floor add to a frame: a soft shadow under every figure and a ring
// under each of two players, at the game's own projection. Compare with a frame of the
// same number of figures in DrawBenchmark. Run under Xvfb:
//   xvfb-run -a -s "-screen 0 1280x1024x24" ./FloorMarksBenchmark
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "core/Game.h"
#include "render/PlayerMarker.h"
#include "render/Shadows.h"

namespace {

void setUp(int width, int height) {
    glutReshapeWindow(width, height);
    for (int i = 0; i < 100 && (glutGet(GLUT_WINDOW_WIDTH) != width || glutGet(GLUT_WINDOW_HEIGHT) != height); ++i) {
        glutMainLoopEvent();
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, static_cast<double>(width) / height, 1.0, 100.0);
    glTranslated(0.0, -10.0, -20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void FloorMarks(benchmark::State& state) {
    setUp(static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
    std::srand(7);
    std::vector<Vec3> feet;
    for (int i = 0; i < state.range(0); ++i) {
        feet.emplace_back(-12 + 24.0 * (std::rand() % 1000) / 1000.0, 0.0, -10.0 * (std::rand() % 1000) / 1000.0);
    }
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Shadows shadows;
        for (const Vec3& at : feet) {
            shadows.add(at, 1.5, 1.1);
        }
        shadows.draw();
        PlayerMarker::drawRing(feet[0], Game::Player1Colour, false);
        PlayerMarker::drawRing(feet[1], Game::Player2Colour, true);
        glFinish();
    }
}

// The empty frame the marks are drawn into, to take away from theirs.
void EmptyFrame(benchmark::State& state) {
    setUp(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
    }
}

void frameSizes(benchmark::internal::Benchmark* b) { b->Unit(benchmark::kMillisecond)->UseRealTime(); }
BENCHMARK(EmptyFrame)->Args({800, 600})->Apply(frameSizes);
BENCHMARK(FloorMarks)->Args({10, 800, 600})->Apply(frameSizes);
BENCHMARK(FloorMarks)->Args({40, 800, 600})->Apply(frameSizes);

}  // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(800, 600);
    glutCreateWindow("FloorMarksBenchmark");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
