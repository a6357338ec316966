// The bundled data directory is a complete, consistent game: every name the code or
// the levels use resolves, and every file loads without a complaint.
#include <gtest/gtest.h>
#include <unistd.h>

#include <AL/alut.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "audio/SoundManager.h"
#include "core/Settings.h"
#include "render/Image.h"
#include "support/GlWindow.h"
#include "ui/Cutscene.h"
#include "world/LevelScript.h"

namespace {

const char* const kComplaints[] = {"Unrecognized line", "Unhandled line", "Failed to load", "Could not open",
                                   "already exists", "Bad PNG", "is not a PNG", "Can't open", "Error"};

void expectNoComplaint(const std::string& output, const std::string& what) {
    for (const char* complaint : kComplaints) {
        EXPECT_EQ(output.find(complaint), std::string::npos) << what << " said: " << output;
    }
}

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The texture names in textures.dat, each checked to decode into a real picture.
std::set<std::string> listedTextures() {
    std::set<std::string> names;
    std::istringstream list(readAll("textures.dat"));
    std::string file;
    std::string name;
    while (list >> file >> name) {
        names.insert(name);
        testing::internal::CaptureStdout();
        const Image picture = Image::fromFile("images/" + file);
        expectNoComplaint(testing::internal::GetCapturedStdout(), file);
        EXPECT_FALSE(picture.width() == 16 && picture.height() == 16) << file << " did not decode";
    }
    return names;
}

class DataIntegrityTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(chdir(MB_DATA_DIR), 0);
        alutInitWithoutContext(nullptr, nullptr);
    }
};

TEST_F(DataIntegrityTest, ConfigSetsEveryKeyWithoutComplaint) {
    testing::internal::CaptureStdout();
    Settings::instance().load("config.dat");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    const std::string config = readAll("config.dat");
    for (const char* key : {"width", "height", "fullscreen", "dataDirectory", "arcade", "escape", "music",
                            "player1Left", "player2Start", "joystickDeadSpace", "moveSpeed", "punchAttackDist",
                            "stickAttackDist", "punchDamage", "stickDamage", "headDamage", "explodingHeadDamage",
                            "explodingHeadRadius", "bossPunchDamage", "friendlyFire", "throwSpeed",
                            "throwDuration", "throwsPerHead", "swingsPerStick", "gravity", "headRadius",
                            "stickRadius", "bossHeadRadius", "bossStickRadius", "dripTime", "minionSpawnTime",
                            "minionSpawnCount", "x_offset", "z_offset", "leftDeadSpace", "maxSplats", "bloodMode",
                            "showRegions", "joystickPlayer1ButtonAttack", "joystickPlayer2Start"}) {
        EXPECT_NE(config.find(std::string(" ") + key + " "), std::string::npos) << key << " is not set";
    }
    for (const char* effect : {"headHit", "punchHit", "stickHit", "limb", "headDrip", "stickDrip", "headShot",
                               "headExplode", "obstacleBreak", "disintegrate", "bossHit", "bossDeath"}) {
        for (const char* suffix : {"ParticleSpeed ", "ParticleSpeedVariance ", "ParticleSize ",
                                   "ParticleSizeVariance ", "ParticlePhi ", "ParticleCount ", "ParticlePercent "}) {
            EXPECT_NE(config.find(std::string(effect) + suffix), std::string::npos) << effect << suffix;
        }
    }
}

TEST_F(DataIntegrityTest, EveryTextureTheCodeBindsIsListedAndDecodes) {
    const std::set<std::string> names = listedTextures();
    for (const char* used : {"font", "pen", "arm", "leg", "head", "bazooka", "credits", "continue", "join",
                             "mainmenu_1p", "mainmenu_2p", "mainmenu_credits", "mainmenu_quit", "pausemenu_resume",
                             "pausemenu_restart", "pausemenu_exit", "mainmenu_bk", "pausemenu_bk", "deathmenu_bk",
                             "loading", "background", "smallink", "medink", "largeink"}) {
        EXPECT_EQ(names.count(used), 1u) << used;
    }
}

TEST_F(DataIntegrityTest, EverySoundLoads) {
    testing::internal::CaptureStdout();
    SoundManager::instance().loadSoundList("sounds.dat");
    expectNoComplaint(testing::internal::GetCapturedStdout(), "sounds.dat");
    for (const char* used : {"woosh", "punch", "stickhit", "rip", "slurp", "bazooka", "bazookasplash",
                             "obstaclehit", "quillbanter"}) {
        EXPECT_NE(SoundManager::instance().soundSource(used), 0u) << used;
    }
}

// Follows the chain of levels from level1.dat to the last; checks every line, every
// backdrop, obstacle picture, music track and cutscene they name, that each level looks
// different, and that the game ends after the second boss.
TEST_F(DataIntegrityTest, TheLevelsChainThroughTwoBossesAndEverythingTheyNameLoads) {
    GlWindow window;
    const std::set<std::string> textures = listedTextures();
    std::set<std::string> cutscenes = {"cutscenes/credits.dat", "cutscenes/arcade.dat"};
    std::set<int> contents;
    std::set<int> items;
    std::set<std::string> backgrounds;
    std::set<std::string> music;
    std::string level = "level1.dat";
    int levels = 0;
    int bosses = 0;
    for (; !level.empty() && levels < 10; ++levels) {
        std::ifstream file("levels/" + level);
        ASSERT_TRUE(file) << level;
        LevelScript script;
        std::string line;
        testing::internal::CaptureStdout();
        while (std::getline(file, line)) script.readLine(line, level);
        expectNoComplaint(testing::internal::GetCapturedStdout(), level);
        for (const ObstacleEntry& o : script.obstacles) {
            EXPECT_EQ(textures.count(o.texture), 1u) << o.texture << " in " << level;
            contents.insert(o.contents);
        }
        for (const ItemEntry& item : script.items) items.insert(item.type);
        const std::string background = script.background.empty() ? "background" : script.background;
        EXPECT_EQ(textures.count(background), 1u) << background << " in " << level;
        backgrounds.insert(background);
        for (const MusicEntry& entry : script.music) {
            EXPECT_TRUE(std::ifstream("music/" + entry.file)) << entry.file;
            music.insert(entry.file);
        }
        for (const CutsceneEntry& entry : script.cutscenes) cutscenes.insert(entry.file);
        for (const EnemyEntry& enemy : script.enemies) bosses += enemy.type == 4 && enemy.minPlayers <= 1;
        level = script.nextLevel;
    }
    EXPECT_EQ(levels, 8);
    EXPECT_TRUE(level.empty()) << "the last level ends the game";
    EXPECT_EQ(bosses, 2);
    EXPECT_EQ(backgrounds.size(), 8u);
    EXPECT_EQ(music.size(), 9u) << "a track of its own for every level, and the bosses' one";
    EXPECT_EQ(contents, (std::set<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(items, (std::set<int>{1, 2, 3}));
    EXPECT_TRUE(std::ifstream("music/Punchout.ogg"));

    for (const std::string& path : cutscenes) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        Cutscene::instance().load(path);
        const std::string said = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
        EXPECT_EQ(said.find("Loaded " + path), 0u) << said;
        expectNoComplaint(said, path);
        EXPECT_TRUE(Cutscene::instance().isPlaying()) << path;
        Cutscene::instance().skip();
    }
}

}  // namespace
