// Whole frames of figures and floor splats drawn by the game's own code, against a bare
// loop that issues the same display lists and splat fans with nothing around them. Run
// under Xvfb: xvfb-run -a -s "-screen 0 640x480x24" ./DrawBenchmark
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

#include "characters/BodyLists.h"
#include "characters/StickFigModel.h"
#include "core/Settings.h"
#include "world/Ink.h"

namespace {

constexpr int Width = 640;
constexpr int Height = 480;
constexpr int MostSplats = 2000;

struct Figure {
    std::unique_ptr<StickFigModel> model;
    Vec3 position;
    bool facingLeft = false;
};

// What the bare loop draws: plain copies of the same figures and splats.
struct BareFigure {
    Pose pose;
    Color colour;
    Vec3 position;
    bool facingLeft;
};
struct BareSplat {
    Vec3 position;
    float angle;
    float size;
    Color colour;
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
            bare.push_back({pose, colour, figure.position, figure.facingLeft});
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
        for (int i = 0; i < ink.splatCount(); ++i) {
            const InkParticle& splat = ink.splat(i);
            splats.push_back({splat.position, splat.angle, splat.size, splat.colour});
        }
        for (int i = 0; i < BodyLists::PartsPerSet; ++i) {
            lists[i] = BodyLists::instance().listName(i);
        }
    }

    std::vector<Figure> figures;
    std::vector<BareFigure> bare;
    std::vector<BareSplat> splats;
    std::array<GLuint, BodyLists::PartsPerSet> lists{};
};

void drawGameFrame(const Scene& scene) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    Ink::instance().draw();
    for (const Figure& figure : scene.figures) {
        glPushMatrix();
        glTranslated(figure.position.x, figure.position.y, figure.position.z);
        if (figure.facingLeft) {
            glRotated(180.0, 0.0, 1.0, 0.0);
        }
        figure.model->draw();
        glPopMatrix();
    }
    glFinish();
}

void bareLimb(const float* p, int yaw, int pitch, float direction, const GLuint* list, int part) {
    glRotatef(p[yaw], 0, 1, 0);
    glRotatef(p[pitch], 1, 0, 0);
    glTranslatef(0, direction * 0.6f, 0);
    glCallList(list[part]);
    glTranslatef(0, direction * 0.6f, 0);
    glCallList(list[5]);
}

void bareFigure(const BareFigure& figure, const GLuint* list) {
    const float* p = figure.pose.data();
    glColor4dv(figure.colour.data());
    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, 0);
    glRotatef(30, 0, 1, 0);
    glTranslatef(0, 1.5f + 2.4f * 0.9f, 0);

    glPushMatrix();
    glRotatef(p[1], 0, 1, 0);
    glCallList(list[0]);
    glPushMatrix();
    glTranslatef(0, 0.6f, 0);
    glRotatef(p[2], 0, 1, 0);
    glRotatef(p[4], 0, 0, 1);
    glTranslatef(0, 0.6f, 0);
    glCallList(list[1]);
    glTranslatef(0, 0.6f, 0);
    glCallList(list[5]);
    bareLimb(p, 8, 6, 1.0f, list, 2);
    glPopMatrix();
    glPushMatrix();
    glTranslatef(0, 0.6f, 0);
    glRotatef(p[3], 0, 1, 0);
    glRotatef(p[5], 0, 0, 1);
    glTranslatef(0, 0.6f, 0);
    glCallList(list[1]);
    glTranslatef(0, 0.6f, 0);
    glCallList(list[5]);
    bareLimb(p, 9, 7, 1.0f, list, 2);
    glPopMatrix();
    glPushMatrix();
    glTranslatef(0, 1.5f, 0);
    glRotatef(p[0], 1, 0, 0);
    glTranslatef(0, 0.1f, 0);
    glCallList(list[6]);
    glPopMatrix();
    glPopMatrix();

    for (int leg = 0; leg < 2; ++leg) {
        glPushMatrix();
        glTranslatef(0, -1.5f, 0);
        glCallList(list[5]);
        bareLimb(p, 12 + leg, 10 + leg, -1.0f, list, 3);
        bareLimb(p, 16 + leg, 14 + leg, -1.0f, list, 4);
        glPopMatrix();
    }
    glPopMatrix();
}

void drawBareFrame(const Scene& scene) {
    static const float fan[10][2] = {{0, 0},  {1, -1},    {1.7f, 0}, {1, 1},     {0, 1.8f},
                                     {-1, 1}, {-1.6f, 0}, {-1, -1},  {0, -1.9f}, {1, -1}};
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, 0);
    for (const BareSplat& splat : scene.splats) {
        glPushMatrix();
        glColor4dv(splat.colour.data());
        glTranslated(splat.position.x, splat.position.y, splat.position.z);
        glRotated(splat.angle, 0, 1, 0);
        glScaled(splat.size, 1, splat.size);
        glBegin(GL_TRIANGLE_FAN);
        for (const auto& point : fan) {
            glVertex3d(point[0], 0, point[1]);
        }
        glEnd();
        glPopMatrix();
    }
    for (const BareFigure& figure : scene.bare) {
        glPushMatrix();
        glTranslated(figure.position.x, figure.position.y, figure.position.z);
        if (figure.facingLeft) {
            glRotated(180, 0, 1, 0);
        }
        bareFigure(figure, scene.lists.data());
        glPopMatrix();
    }
    glFinish();
}

void GameFrame(benchmark::State& state) {
    const Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        drawGameFrame(scene);
    }
    state.counters["splats"] = static_cast<double>(Ink::instance().splatCount());
}

void BareFrame(benchmark::State& state) {
    const Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        drawBareFrame(scene);
    }
    state.counters["splats"] = static_cast<double>(scene.splats.size());
}

// The fastest of several repetitions is the figure least disturbed by whatever else the
// machine is doing.
double fastest(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

// Game and bare runs alternate so that load from elsewhere on the machine hits both.
void frameSizes(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", fastest);
}
BENCHMARK(GameFrame)->Args({2, 200})->Apply(frameSizes);
BENCHMARK(BareFrame)->Args({2, 200})->Apply(frameSizes);
BENCHMARK(GameFrame)->Args({10, 500})->Apply(frameSizes);
BENCHMARK(BareFrame)->Args({10, 500})->Apply(frameSizes);
BENCHMARK(GameFrame)->Args({40, 2000})->Apply(frameSizes);
BENCHMARK(BareFrame)->Args({40, 2000})->Apply(frameSizes);

// The state Game::init and Game::reshape leave behind for a 640x480 window.
void setUpLikeTheGame() {
    Settings& settings = Settings::instance();
    settings.setInt("maxSplats", MostSplats);
    settings.setFloat("stickRadius", 0.15f);
    settings.setFloat("headRadius", 0.5f);

    glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glViewport(0, 0, Width, Height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, static_cast<double>(Width) / Height, 1.0, 100.0);
    glTranslated(0.0, -10.0, -20.0);
    glMatrixMode(GL_MODELVIEW);
    BodyLists::instance().buildPlayerLists();
}

}  // namespace

int main(int argc, char** argv) {
    // Mesa's software renderer frees and regrows the heap around every display-list call;
    // with glibc's default trim threshold that heap churn costs more than the drawing and
    // swamps the difference between the two loops.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(Width, Height);
    glutCreateWindow("Margin Brawler draw benchmark");
    setUpLikeTheGame();
    benchmark::AddCustomContext("gl_renderer",
                                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
