// The bundled data directory is a complete game: the settings set every key the code
// reads and the levels make a whole campaign. That every file loads and every name
// resolves is margin-check's job (tests/tools).
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "core/ConsoleProblems.h"
#include "core/Settings.h"
#include "core/TextFile.h"
#include "world/LevelScript.h"

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class DataIntegrityTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(chdir(MB_DATA_DIR), 0); }
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
                            "showRegions", "shadows", "joystickPlayer1ButtonAttack", "joystickPlayer2Start",
                            "musicVolume", "effectsVolume", "difficulty"}) {
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

// margin-check loads every file the levels name; this is what the campaign is made of.
TEST_F(DataIntegrityTest, TheLevelsChainThroughTwoBossesOnEightPagesWithEveryKindOfObstacleAndPickup) {
    ConsoleProblems console;
    std::set<int> contents;
    std::set<int> items;
    std::set<std::string> backgrounds;
    std::set<std::string> music;
    std::string level = "level1.dat";
    int levels = 0;
    int bosses = 0;
    std::set<std::string> bossNames;
    for (; !level.empty() && levels < 10; ++levels) {
        TextFile file("levels/" + level, console);
        ASSERT_TRUE(file.isOpen()) << level;
        LevelScript script;
        script.read(file, level);
        for (const ObstacleEntry& o : script.obstacles) contents.insert(o.contents);
        for (const ItemEntry& item : script.items) items.insert(item.type);
        for (const EnemyEntry& enemy : script.enemies) bosses += enemy.type == 4 && enemy.minPlayers <= 1;
        if (script.boss.line != 0) bossNames.insert(script.boss.name + (script.boss.look.crown ? " crowned" : ""));
        backgrounds.insert(script.background.empty() ? "background" : script.background);
        for (const MusicEntry& entry : script.music) music.insert(entry.file);
        level = script.nextLevel;
    }
    EXPECT_EQ(levels, 8);
    EXPECT_TRUE(level.empty()) << "the last level ends the game";
    EXPECT_EQ(bosses, 2);
    EXPECT_EQ(bossNames, (std::set<std::string>{"the Smudge", "the Ink Blot crowned"}));
    EXPECT_EQ(backgrounds.size(), 8u);
    EXPECT_EQ(music.size(), 9u) << "a track of its own for every level, and the bosses' one";
    EXPECT_EQ(contents, (std::set<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(items, (std::set<int>{1, 2, 3}));
}

}  // namespace
