// Whole frames of figures and floor splats, drawn by the game's own code and by the fine
// reference bodies it replaced (16 x 16 GLU cylinders and spheres in display lists, one
// draw call per splat), in the same run so that both meet the same machine. Ends with
// the ratio of the two for each scene. Run under Xvfb with a screen of 800 x 600 or more:
//   xvfb-run -a -s "-screen 0 1280x1024x24" ./DrawBenchmark
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "characters/BodyLists.h"
#include "characters/StickFigModel.h"
#include "core/Settings.h"
#include "support/ReferenceBodies.h"
#include "world/Ink.h"

namespace {

constexpr int MostSplats = 2000;

struct Figure {
    std::unique_ptr<StickFigModel> model;
    Vec3 position;
    bool facingLeft = false;
};

double uniform(double low, double high) {
    return low + (high - low) * (std::rand() % 32768) / 32768.0;
}

// `figures` figures spread over the visible floor in varied poses, and `splats` splats
// sprayed straight down and landed through Ink.
class Scene {
public:
    Scene(int figureCount, int splatCount) {
        std::srand(7);
        for (int i = 0; i < figureCount; ++i) {
            const Color colour(uniform(0, 0.5), uniform(0, 0.5), uniform(0, 0.5), 1.0);
            Figure figure{std::make_unique<StickFigModel>(colour),
                          Vec3(uniform(-12, 12), 0.0, uniform(-10, 0)), i % 2 == 1};
            Pose pose = figure.model->getPose();
            for (float& angle : pose) {
                angle += static_cast<float>(uniform(-40, 40));
            }
            figure.model->setPose(pose);
            figures.push_back(std::move(figure));
        }
        Ink& ink = Ink::instance();
        ink.clear();
        for (int i = 0; i < splatCount; ++i) {
            const Vec3 where(uniform(-14, 14), 0.01, uniform(-10, 0));
            ink.spray(where, Vec3(0, -1, 0), Color(0.1, 0.1, 0.1, 1.0), 1.0, 0.0, 0.3, 0.1, 0.0, 1,
                      1.0);
        }
        ink.update(20);
    }

    // One frame: the splats, then every figure, each drawn by `drawInk` and `drawFigure`.
    template <typename InkDrawer, typename FigureDrawer>
    void drawFrame(const InkDrawer& drawInk, const FigureDrawer& drawFigure) const {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        drawInk(Ink::instance());
        for (const Figure& figure : figures) {
            glPushMatrix();
            glTranslated(figure.position.x, figure.position.y, figure.position.z);
            if (figure.facingLeft) {
                glRotated(180.0, 0.0, 1.0, 0.0);
            }
            drawFigure(*figure.model);
            glPopMatrix();
        }
        glFinish();
    }

private:
    std::vector<Figure> figures;
};

// The state Game::init and Game::reshape leave behind for a window of this size.
void setUpLikeTheGame(int width, int height) {
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
}

void GameBodies(benchmark::State& state) {
    setUpLikeTheGame(static_cast<int>(state.range(2)), static_cast<int>(state.range(3)));
    const Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        scene.drawFrame([](const Ink& ink) { ink.draw(); },
                        [](const StickFigModel& model) { model.draw(); });
    }
    state.counters["splats"] = static_cast<double>(Ink::instance().splatCount());
}

void FineBodies(benchmark::State& state) {
    setUpLikeTheGame(static_cast<int>(state.range(2)), static_cast<int>(state.range(3)));
    const Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const ReferenceBodies fine;
    for (auto _ : state) {
        scene.drawFrame([&](const Ink& ink) { fine.drawInk(ink); },
                        [&](const StickFigModel& model) { fine.drawFigure(model); });
    }
    state.counters["splats"] = static_cast<double>(Ink::instance().splatCount());
}

// The fastest of several repetitions is the figure least disturbed by whatever else the
// machine is doing.
double fastest(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

void frameSizes(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", fastest);
}
// Fine and game runs alternate so that load from elsewhere on the machine hits both.
BENCHMARK(FineBodies)->Args({10, MostSplats, 640, 480})->Apply(frameSizes);
BENCHMARK(GameBodies)->Args({10, MostSplats, 640, 480})->Apply(frameSizes);
BENCHMARK(FineBodies)->Args({40, MostSplats, 640, 480})->Apply(frameSizes);
BENCHMARK(GameBodies)->Args({40, MostSplats, 640, 480})->Apply(frameSizes);
BENCHMARK(FineBodies)->Args({10, MostSplats, 800, 600})->Apply(frameSizes);
BENCHMARK(GameBodies)->Args({10, MostSplats, 800, 600})->Apply(frameSizes);
BENCHMARK(FineBodies)->Args({40, MostSplats, 800, 600})->Apply(frameSizes);
BENCHMARK(GameBodies)->Args({40, MostSplats, 800, 600})->Apply(frameSizes);

// The console report, then for each scene how many times faster the game's frame is than
// the fine one, from the fastest run of each.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool single = run.run_type == Run::RT_Iteration;
            const bool fastestOfMany = run.run_type == Run::RT_Aggregate && run.aggregate_name == "min";
            if (run.error_occurred || (!single && !fastestOfMany)) {
                continue;
            }
            const std::string& family = run.run_name.function_name;
            double& best = (family == "FineBodies" ? fine : game)[run.run_name.args];
            const double time = run.GetAdjustedRealTime();
            best = best == 0.0 ? time : std::min(best, time);
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::cout << "\nfigures/splats/width/height: fine ms, game ms, fine / game (real time)\n";
        for (const auto& [scene, fineTime] : fine) {
            const auto found = game.find(scene);
            if (found != game.end() && found->second > 0.0) {
                std::cout << scene << ": " << fineTime << ", " << found->second << ", "
                          << fineTime / found->second << "\n";
            }
        }
    }

private:
    std::map<std::string, double> fine;
    std::map<std::string, double> game;
};

void setUpSettingsAndState() {
    Settings& settings = Settings::instance();
    settings.setInt("maxSplats", MostSplats);
    settings.setFloat("stickRadius", 0.12f);
    settings.setFloat("headRadius", 0.6f);
    settings.setFloat("bossStickRadius", 0.2f);
    settings.setFloat("bossHeadRadius", 0.9f);
    glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_NORMALIZE);
    glDepthFunc(GL_LEQUAL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    BodyLists::instance().buildPlayerLists();
}

}  // namespace

int main(int argc, char** argv) {
    // Mesa's software renderer frees and regrows the heap around every display-list call;
    // with glibc's default trim threshold that heap churn costs more than the drawing and
    // swamps the difference between the two.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(640, 480);
    glutCreateWindow("Margin Brawler draw benchmark");
    glutDisplayFunc([] {});
    setUpSettingsAndState();
    benchmark::AddCustomContext("gl_renderer",
                                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
