#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <functional>

#include "core/Game.h"
#include "core/Settings.h"
#include "support/GlWindow.h"
#include "support/PictureFile.h"
#include "support/TempDataDir.h"
#include "ui/Cutscene.h"

// Windows that are not 4:3: the game's own frames drawn into a real window with pictures
// the test paints, read back pixel by pixel. Pages are painted with a coloured column at
// each side, so what fills a wider window's margins shows where it came from.
namespace {

using picture::Rgba;

const Rgba kLeftEdge{0, 160, 0, 255};
const Rgba kRightEdge{0, 0, 200, 255};
const Rgba kPage{240, 230, 200, 255};
const Rgba kSelected{255, 0, 0, 255};
const Rgba kOtherEntry{60, 60, 60, 255};
const Rgba kWall{100, 150, 200, 255};

Rgba pagePixel(int x, int) { return x == 0 ? kLeftEdge : x == 63 ? kRightEdge : kPage; }

// A window and where the 4:3 picture must sit in it, from its lower left corner.
struct Shape {
    int width;
    int height;
    int left;
    int bottom;
};
void PrintTo(const Shape& shape, std::ostream* out) { *out << shape.width << "x" << shape.height; }

class AspectTest : public ::testing::TestWithParam<Shape> {
protected:
    AspectTest() : window(GetParam().width, GetParam().height) {}

    void SetUp() override {
        Settings& settings = Settings::instance();
        settings.setFloat("x_offset", 10.0f);
        settings.setFloat("z_offset", 25.0f);
        paint("page.png", picture::png(64, 48, pagePixel));
        paint("selected.png", picture::solidPng(8, 8, kSelected));
        paint("other.png", picture::solidPng(8, 8, kOtherEntry));
        paint("wall.png", picture::solidPng(8, 8, kWall));
        paint("crate.png", picture::solidPng(8, 8, kSelected));
        dir.write("textures.dat",
                  "page.png mainmenu_bk\nselected.png mainmenu_1p\nother.png mainmenu_2p\n"
                  "other.png mainmenu_credits\nother.png mainmenu_quit\nwall.png background\ncrate.png crate\n");
        game.init();
        game.reshape(window.width(), window.height());
    }

    void paint(const std::string& name, const std::vector<unsigned char>& bytes) {
        dir.writeBytes("images/" + name, bytes.data(), bytes.size());
    }

    // Every pixel for which `where` holds (x, y from the lower left), and the picture.
    void forEachPixel(const std::function<bool(int, int)>& where,
                      const std::function<void(int, int, const Rgba&)>& check) const {
        const std::vector<unsigned char> pixels = window.readBackBuffer();
        for (int y = 0; y < window.height(); ++y) {
            for (int x = 0; x < window.width(); ++x) {
                if (!where(x, y)) continue;
                const unsigned char* p = &pixels[(static_cast<std::size_t>(y) * window.width() + x) * 3];
                check(x, y, {p[0], p[1], p[2], 255});
            }
        }
    }
    bool inMargin(int x, int y) const {
        const Shape& shape = GetParam();
        return x < shape.left || x >= shape.width - shape.left || y < shape.bottom || y >= shape.height - shape.bottom;
    }
    static bool near(const Rgba& a, const Rgba& b, int tolerance) {
        for (int i = 0; i < 3; ++i) {
            if (std::abs(a[i] - b[i]) > tolerance) return false;
        }
        return true;
    }
    // Margin pixels that do not continue a painted page: beside the picture its edge
    // column, above and below it anything but the white of an empty window.
    int marginsOffThePage() const {
        const bool wide = window.width() * 3 > window.height() * 4;
        int off = 0;
        forEachPixel([&](int x, int y) { return inMargin(x, y); },
                     [&](int x, int, const Rgba& colour) {
                         const Rgba& edge = x < window.width() / 2 ? kLeftEdge : kRightEdge;
                         off += wide ? !near(colour, edge, 4) : near(colour, {255, 255, 255, 255}, 2);
                     });
        return off;
    }

    GlWindow window;
    TempDataDir dir;
    Game& game = Game::instance();
};

// The menu's page runs on past its picture's edges, and the sway of the selected entry's
// picture keeps its 2:1 shape instead of widening with the window.
TEST_P(AspectTest, MenuPageFillsTheWindowAndTheSelectedEntryKeepsItsShape) {
    game.drawPicture();
    EXPECT_EQ(marginsOffThePage(), 0);

    int left = INT_MAX, right = -1, bottom = INT_MAX, top = -1;
    forEachPixel([](int, int) { return true; },
                 [&](int x, int y, const Rgba& colour) {
                     if (!near(colour, kSelected, 40)) return;
                     left = std::min(left, x), right = std::max(right, x);
                     bottom = std::min(bottom, y), top = std::max(top, y);
                 });
    ASSERT_GE(right, 0) << "the selected entry was not drawn";
    EXPECT_NEAR(static_cast<double>(right - left + 1) / (top - bottom + 1), 2.0, 0.04);
    EXPECT_FALSE(inMargin(left, bottom) || inMargin(right, top)) << "the menu column stays in the 4:3 picture";
}

// Wall and floor reach every side of the window; the figures and obstacles of the play
// area are drawn only in the 4:3 picture, so nothing stands in the margin.
TEST_P(AspectTest, LevelPaintsTheWholeWindowAndKeepsObjectsInThePlayArea) {
    dir.write("levels/plain.dat", "obstacle crate 1 4 4 5 0 0\nobstacle crate 1 4 4 19 0 0\nend 1000\n");
    game.clearBackground();
    game.closeMenu();
    game.startGame(true, false, "plain.dat");
    game.update(20);
    ASSERT_EQ(game.getWorld().size(), 5u) << "HUD, player, health bar and both crates";
    game.drawPicture();
    int unpainted = 0;
    forEachPixel([&](int x, int y) { return inMargin(x, y); },
                 [&](int, int, const Rgba& colour) { unpainted += !near(colour, kWall, 25); });
    EXPECT_EQ(unpainted, 0);
    int crate = 0;
    forEachPixel([&](int x, int y) { return !inMargin(x, y); },
                 [&](int, int, const Rgba& colour) { crate += near(colour, kSelected, 40); });
    EXPECT_GT(crate, 100) << "the crate inside the play area is drawn";
}

// A slide fills the frame and its edge columns fill a wider window's margins.
TEST_P(AspectTest, CutsceneSlideRunsOnToTheWindowsSides) {
    paint("slide.png", picture::png(64, 48, pagePixel));
    dir.write("cutscenes/one.dat", "picture slide slide.png\nframe slide 2000 0 0\n");
    ::testing::internal::CaptureStdout();
    ASSERT_TRUE(Cutscene::instance().load("cutscenes/one.dat"));
    ::testing::internal::GetCapturedStdout();
    game.drawPicture();
    EXPECT_EQ(marginsOffThePage(), 0);
    forEachPixel([&](int x, int y) { return x == window.width() / 2 && y == window.height() / 2; },
                 [&](int, int, const Rgba& colour) { EXPECT_TRUE(near(colour, kPage, 4)); });
}

INSTANTIATE_TEST_SUITE_P(WideAndTall, AspectTest, ::testing::Values(Shape{1280, 720, 160, 0}, Shape{1280, 1024, 0, 32}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

}  // namespace
