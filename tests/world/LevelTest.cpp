#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <sys/stat.h>

#include <array>
#include <filesystem>

#include <GL/gl.h>
#include <GL/glu.h>

#include "audio/SoundManager.h"
#include "characters/Boss.h"
#include "characters/Enemy.h"
#include "core/Settings.h"
#include "render/TextureManager.h"
#include "support/GlWindow.h"
#include "support/PictureFile.h"
#include "support/TempDataDir.h"
#include "ui/Cutscene.h"
#include "ui/MainMenu.h"
#include "world/Head.h"
#include "world/Health.h"
#include "world/Obstacle.h"
#include "world/Stick.h"

#include "RegionProbe.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

constexpr double kEdgeSlope = 2.0 * 0.36337;

class LevelTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings& settings = Settings::instance();
        settings.setFloat("x_offset", 10.0f);
        settings.setFloat("z_offset", 12.0f);
        settings.setInt("music", 1);
    }

    // Starts a home-mode game on `file`; the output of the load is returned.
    std::string start(const std::string& file, bool twoPlayers = false) {
        testing::internal::CaptureStdout();
        game.startGame(true, twoPlayers, file);
        return testing::internal::GetCapturedStdout();
    }
    std::string updateLevel(double lead, int ticks = 1) {
        testing::internal::CaptureStdout();
        for (int i = 0; i < ticks; ++i) level().update(lead);
        return testing::internal::GetCapturedStdout();
    }
    Level& level() { return game.getLevel(); }
    bool mainMenuOpen() const {
        return dynamic_cast<MainMenu*>(game.getMenu()) != nullptr && game.isBackgroundShown() &&
               game.getBackgroundTexture() == "mainmenu_bk" && !game.isAttract();
    }

    TempDataDir dir;
    Game& game = Game::instance();
};

TEST_F(LevelTest, ReadsEveryKindOfLine) {
    dir.write("levels/all.dat",
              "# every kind of line\n"
              "enemy 1 0 5 -2 1 1   # a stick carrier from the left\n"
              "enemy 2 1 5 -4 4 1\n"
              "enemy 7 1 5 -3 2 1\n"
              "#enemy 0 0 0 -2 0 1\n"
              "obstacle barrel 1.5 3 2 60 -5 4\n"
              "obstacle crate 1 2 3 42 -6 0\n"
              "item 41 -1 2\n"
              "item 39 -1 9\n"
              "item 12\n"
              "\n"
              "   \t\n"
              "stop 100\n"
              "music theme.ogg 0 0.5\n"
              "end 500 level2.dat\n"
              "boss crown+eyes  the\x01Ink   Blot  # its bar\n"
              "dance 1 2 3\n");

    EXPECT_THAT(start("all.dat"), HasSubstr("Unhandled line in all.dat: dance 1 2 3\n"));
    EXPECT_EQ(level().nextLevelName(), "level2.dat");
    EXPECT_DOUBLE_EQ(level().backLimit(), 3.0);

    const std::string firstTick = updateLevel(5.0);
    EXPECT_THAT(firstTick, HasSubstr("Unknown weapon for enemy: 7\n"));
    EXPECT_THAT(firstTick, HasSubstr("Unknown item type: 9\n"));
    EXPECT_THAT(firstTick, HasSubstr("Unknown item type: 0\n")) << "a short line still adds its entry";
    if (SoundManager::instance().hasAudio()) {
        EXPECT_THAT(firstTick, HasSubstr("Couldn't open theme.ogg."));
    }

    const std::vector<Enemy*> enemies = objectsOf<Enemy>();
    ASSERT_EQ(enemies.size(), 3u);
    EXPECT_EQ(enemies[0]->getKind(), 1);
    EXPECT_EQ(enemies[0]->position, Vec3(-kEdgeSlope * 22.0, 0.0, -2.0));
    EXPECT_FALSE(enemies[0]->isFacingLeft());
    const auto* stick = dynamic_cast<Stick*>(enemies[0]->heldWeapon());
    EXPECT_TRUE(stick != nullptr && stick->getColour() == Color(0, 0, 0, 1));
    const auto* boss = dynamic_cast<Boss*>(enemies[1]);
    ASSERT_NE(boss, nullptr);
    EXPECT_EQ(boss->getName(), "the?Ink Blot") << "the name is the line's words, printable";
    EXPECT_TRUE(boss->getModel().getLook().crown && boss->getModel().getLook().redEyes);
    EXPECT_EQ(enemies[1]->position, Vec3(kEdgeSlope * 24.0, 0.0, -4.0));
    EXPECT_TRUE(enemies[1]->isFacingLeft());
    EXPECT_NE(dynamic_cast<Head*>(enemies[1]->heldWeapon()), nullptr);
    EXPECT_EQ(enemies[2]->getKind(), 2);
    EXPECT_EQ(enemies[2]->heldWeapon(), nullptr);

    // Pickups and obstacles appear 40 units ahead of the view as it stood at the start of
    // the tick, in x order whatever the order of the file.
    EXPECT_DOUBLE_EQ(level().scroll(), 0.25);
    updateLevel(5.0, 3);
    EXPECT_TRUE(objectsOf<Health>().empty());
    updateLevel(5.0);
    ASSERT_EQ(objectsOf<MediumHealth>().size(), 1u);
    EXPECT_EQ(objectsOf<MediumHealth>()[0]->position, Vec3(41, 0, -1));
    EXPECT_TRUE(objectsOf<Obstacle>().empty());
    updateLevel(5.0, 4);
    ASSERT_EQ(objectsOf<Obstacle>().size(), 1u);
    EXPECT_EQ(objectsOf<Obstacle>()[0]->position, Vec3(42, 0, -6));
    EXPECT_EQ(objectsOf<Obstacle>()[0]->getContents(), 0);

    // The view follows the lead player a quarter unit a tick and never passes it.
    updateLevel(5.0, 20);
    EXPECT_DOUBLE_EQ(level().scroll(), 5.0);
}

TEST_F(LevelTest, EnemyNeedsItsMinimumNumberOfPlayers) {
    dir.write("levels/duo.dat", "enemy 0 1 30 -2 0 2\n");
    start("duo.dat");
    updateLevel(30.0);
    EXPECT_TRUE(objectsOf<Enemy>().empty());

    start("duo.dat", true);
    updateLevel(30.0);
    const std::vector<Enemy*> enemies = objectsOf<Enemy>();
    ASSERT_EQ(enemies.size(), 1u);
    EXPECT_EQ(enemies[0]->position, Vec3(kEdgeSlope * 22.0, 0.0, -2.0));
    EXPECT_TRUE(enemies[0]->isFacingLeft());
}

// A hundred thousand enemies on one trigger: the loader keeps the first 32 and says so;
// in play 32 come in a tick and no more than 64 live, the rest wait their turn.
TEST_F(LevelTest, CrowdsAreCutAndMeteredSoTheGameGoesOn) {
    std::string flood;
    for (int i = 0; i < 100000; ++i) flood += "enemy 0 1 5 -2 0 1\n";
    for (int i = 0; i < 40; ++i) flood += "enemy 0 0 6 -3 1 1\n";
    flood += "enemy 0 0 7 -4 2 1\nenemy 0 0 7 -4 2 1\nend 1000\n";
    dir.write("levels/flood.dat", flood);
    testing::internal::CaptureStderr();
    start("flood.dat");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_THAT(said, HasSubstr("levels/flood.dat:33: 99968 enemies beyond the 32 that may come in at once at x 5 "
                                "are left out, from this line on\n"
                                "levels/flood.dat:100033: 8 enemies beyond the 32 that may come in at once at x 6 "
                                "are left out, from this line on\n"));
    EXPECT_EQ(level().remaining().enemies.size(), 66u);

    for (const std::size_t expected : {32u, 64u, 64u}) {
        updateLevel(10.0);
        EXPECT_EQ(objectsOf<Enemy>().size(), expected);
    }
    objectsOf<Enemy>()[0]->die();
    updateLevel(10.0);
    EXPECT_EQ(objectsOf<Enemy>().size(), 65u) << "one fell, one more came in";
    EXPECT_EQ(level().remaining().enemies.size(), 1u);
}

TEST_F(LevelTest, OnlyTheCutsceneForThisManyPlayersPlaysAndEndsTheTick) {
    dir.write("levels/scenes.dat",
              "cutscene cutscenes/duo.dat 0 2\ncutscene cutscenes/solo.dat 0 1\nend 0\n");
    for (const bool twoPlayers : {false, true}) {
        start("scenes.dat", twoPlayers);
        const std::string played = twoPlayers ? "cutscenes/duo.dat" : "cutscenes/solo.dat";
        std::string output = updateLevel(0.0);
        EXPECT_THAT(output, HasSubstr("Could not open cutscene: " + played));
        EXPECT_EQ(game.getMenu(), nullptr) << "the end waits for the next tick";
        output += updateLevel(0.0);
        EXPECT_THAT(output, Not(HasSubstr(twoPlayers ? "cutscenes/solo.dat" : "cutscenes/duo.dat")));
        EXPECT_TRUE(mainMenuOpen());
        game.closeMenu();
        game.clearBackground();
    }
}

TEST_F(LevelTest, StopHoldsTheViewUntilNoEnemyLives) {
    dir.write("levels/stops.dat", "stop 50\nstop 80\nenemy 0 1 80 -2 0 1\nenemy 0 0 90 -2 3 1\n");
    start("stops.dat");

    updateLevel(50.0);
    EXPECT_TRUE(level().isStopped());
    EXPECT_DOUBLE_EQ(level().scroll(), 0.0);
    updateLevel(50.0);
    EXPECT_FALSE(level().isStopped());
    EXPECT_DOUBLE_EQ(level().scroll(), 0.25);

    updateLevel(80.0);
    updateLevel(90.0, 5);
    EXPECT_TRUE(level().isStopped());
    EXPECT_DOUBLE_EQ(level().scroll(), 0.25);
    ASSERT_EQ(objectsOf<Enemy>().size(), 2u) << "held, but enemies whose trigger is reached still come";
    for (Enemy* enemy : objectsOf<Enemy>()) enemy->die();
    updateLevel(90.0);
    EXPECT_FALSE(level().isStopped());
    EXPECT_DOUBLE_EQ(level().scroll(), 0.5);
}

TEST_F(LevelTest, NoLivingPlayerFreezesTheLevel) {
    dir.write("levels/frozen.dat",
              "stop 0\nenemy 0 0 0 -2 0 1\nobstacle crate 1 2 2 45 -2 1\nitem 44 -1 1\n"
              "cutscene cutscenes/intro.dat 1 1\nmusic theme.ogg 1 1\nend 1\n");
    start("frozen.dat");
    EXPECT_EQ(updateLevel(-1.0, 50), "");
    EXPECT_DOUBLE_EQ(level().scroll(), 0.0);
    EXPECT_FALSE(level().isStopped());
    EXPECT_TRUE(objectsOf<Enemy>().empty() && objectsOf<Obstacle>().empty() && objectsOf<Health>().empty());
}

// A next level that cannot be loaded (here a folder, which reads like an empty file but
// would never end) ends the game instead of being retried every tick. A level or
// cutscene name reaches nothing but a regular file inside the data folder: not a pipe
// (which would hold the game), not a file elsewhere that a link or a path points to.
TEST_F(LevelTest, LevelsChainUntilOneCannotBeLoadedAndNamesReachOnlyDataFiles) {
    dir.write("levels/level1.dat", "enemy 0 0 0 -2 0 1\nend 0 level2.dat\n");
    dir.write("levels/level2.dat", "end 0 folder.dat\n");
    dir.write("levels/folder.dat/inside.dat", "");
    start("level1.dat");

    game.update(20);
    EXPECT_EQ(game.getLevelName(), "level2.dat");
    EXPECT_NE(game.getPlayer1(), nullptr);
    EXPECT_TRUE(objectsOf<Enemy>().empty()) << "the new level starts with a fresh world";
    EXPECT_EQ(game.getMenu(), nullptr);

    testing::internal::CaptureStderr();
    game.update(20);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Failed to load folder.dat\n");
    EXPECT_TRUE(mainMenuOpen());

    std::filesystem::create_directory("cutscenes");
    ASSERT_EQ(mkfifo("levels/pipe.dat", 0600), 0);
    ASSERT_EQ(mkfifo("cutscenes/pipe.dat", 0600), 0);
    std::filesystem::create_symlink("/etc/passwd", "levels/passwd.dat");
    std::filesystem::create_symlink("level2.dat", "levels/alias.dat");
    for (const std::string name : {"pipe.dat", "passwd.dat", "../../../../../../etc/passwd", "level\x1b[2J.dat"}) {
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        EXPECT_FALSE(level().load(name)) << name;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << name;
        EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("Failed to load ")) << name;
    }
    EXPECT_TRUE(level().load("alias.dat")) << "a link to a level inside the data is that level";
    for (const std::string name : {"cutscenes/pipe.dat", "/dev/stdin", "cutscenes/../../outside.dat"}) {
        testing::internal::CaptureStdout();
        EXPECT_FALSE(Cutscene::instance().load(name)) << name;
        EXPECT_THAT(testing::internal::GetCapturedStdout(), HasSubstr("Could not open cutscene: ")) << name;
    }

    dir.write("levels/hostile.dat", "cutscene ../../secret.dat 0 1\nend 0 ../../../../etc/passwd\n");
    EXPECT_EQ(start("hostile.dat"),
              "levels/hostile.dat:1: the cutscene ../../secret.dat is not a file inside the data folder; it is left "
              "out\n"
              "levels/hostile.dat:2: the next level ../../../../etc/passwd is not a file name under levels/; the game "
              "ends after this level\n");
    EXPECT_EQ(level().nextLevelName(), "");
    EXPECT_TRUE(level().remaining().cutscenes.empty());
}

// The wall takes the texture the level names, "background" when it names none, and the
// checkerboard (with the usual message) when the name is neither listed nor a picture.
TEST_F(LevelTest, TheWallShowsTheLevelsOwnBackground) {
    const GlWindow window(160, 120);
    const std::vector<unsigned char> blue = picture::solidPng(4, 4, {0, 0, 255, 255});
    dir.writeBytes("images/blue.png", blue.data(), blue.size());
    const std::vector<unsigned char> red = picture::solidPng(4, 4, {255, 0, 0, 255});
    dir.writeBytes("images/red.png", red.data(), red.size());
    TextureManager::instance().load("red.png", "background");
    TextureManager::instance().load("blue.png", "page_blue");
    dir.write("levels/plain.dat", "end 100\n");
    dir.write("levels/named.dat", "background page_blue\nend 100\n");
    dir.write("levels/unknown.dat", "background nowhere\nend 100\n");
    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(60.0, 160.0 / 120.0, 1.0, 100.0);
    glTranslated(0.0, -10.0, -20.0);
    glMatrixMode(GL_MODELVIEW);

    // Colours seen on the wall: red, blue, black and white pixels counted.
    const auto wallColours = [&](const std::string& file) {
        start(file);
        glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        testing::internal::CaptureStdout();
        level().drawWall();
        const std::string said = testing::internal::GetCapturedStdout();
        std::array<int, 4> counts{};
        const std::vector<unsigned char> pixels = window.readBackBuffer();
        for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
            const int r = pixels[i], g = pixels[i + 1], b = pixels[i + 2];
            counts[0] += r > 200 && g < 50 && b < 50;
            counts[1] += r < 50 && g < 50 && b > 200;
            counts[2] += r < 50 && g < 50 && b < 50;
            counts[3] += r > 200 && g > 200 && b > 200;
        }
        return std::make_pair(counts, said);
    };
    const int most = 160 * 120 / 2;
    EXPECT_GT(wallColours("plain.dat").first[0], most);
    EXPECT_GT(wallColours("named.dat").first[1], most);
    const auto [checkerboard, said] = wallColours("unknown.dat");
    EXPECT_GT(checkerboard[2], most / 4);
    EXPECT_GT(checkerboard[3], most / 4);
    EXPECT_EQ(said, "Can't open images/nowhere.\n");
    EXPECT_EQ(wallColours("unknown.dat").second, "") << "the stand-in is made once";
}

}  // namespace
