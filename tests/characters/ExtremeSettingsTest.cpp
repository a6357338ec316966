#include <fstream>
#include <limits>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "characters/CombatFixture.h"
#include "world/Head.h"
#include "world/Ink.h"
#include "world/Stick.h"

// Every tuning key at one extreme a config file can hold, then a fight with sticks,
// thrown and fired heads and a boss calling waves. The game must clamp the values where
// it reads them, say so once per key, and keep running in bounded memory. Each extreme
// runs in its own process, since most keys are read once and kept.
namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

struct Extreme {
    const char* name;
    int integer;
    float real;
};

void PrintTo(const Extreme& extreme, std::ostream* out) { *out << extreme.name; }

const char* const kIntKeys[] = {"throwDuration", "throwsPerHead", "swingsPerStick", "dripTime",
                                "minionSpawnTime", "minionSpawnCount", "maxSplats"};
const char* const kFloatKeys[] = {"moveSpeed", "punchAttackDist", "stickAttackDist", "punchDamage",
                                  "stickDamage", "headDamage", "explodingHeadDamage", "bossPunchDamage",
                                  "explodingHeadRadius", "throwSpeed", "gravity", "headRadius",
                                  "stickRadius", "bossHeadRadius", "bossStickRadius", "x_offset",
                                  "z_offset", "leftDeadSpace", "joystickDeadSpace"};
const char* const kEffects[] = {"headHit", "punchHit", "stickHit", "limb", "headDrip", "stickDrip",
                                "headShot", "headExplode", "obstacleBreak", "disintegrate", "bossHit", "bossDeath"};

long residentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4;
}

class ExtremeSettingsTest : public CombatFixture, public testing::WithParamInterface<Extreme> {
protected:
    void configure() override {
        const Extreme extreme = GetParam();
        if (extreme.name == std::string("bundled")) {
            Settings::instance().load(MB_DATA_DIR "/config.dat");
        } else {
            for (const char* key : kIntKeys) set({}, {{key, extreme.integer}});
            for (const char* key : kFloatKeys) set({{key, extreme.real}});
            for (const std::string effect : kEffects) {
                for (const char* suffix : {"Speed", "SpeedVariance", "Size", "SizeVariance", "Phi", "Percent"}) {
                    Settings::instance().setFloat(effect + "Particle" + suffix, extreme.real);
                }
                Settings::instance().setInt(effect + "ParticleCount", extreme.integer);
            }
        }
        CaptureStdout();
    }
};

}  // namespace

TEST_P(ExtremeSettingsTest, AFightRunsOnInBoundedMemory) {
    spawn(std::make_unique<Boss>(), Vec3(6, 0, -5));
    spawn(std::make_unique<Enemy>(0), Vec3(1.5, 0, 0));
    long settled = 0;
    for (int t = 0; t < 400; ++t) {
        Player* fighter = game().getPlayer1();
        if (fighter != nullptr && !fighter->isDead() && t % 40 == 0) {
            if (fighter->heldWeapon() == nullptr) fighter->takeWeapon(std::make_unique<Stick>(Color(0, 0, 0, 1)));
            fighter->attack();
        }
        if (t % 40 == 20) {
            auto head = std::make_unique<Head>(Color(1, 0, 0, 1));
            head->position = Vec3(0, 2, -3);
            head->launch(Vec3(30, 0, 0), t % 80 == 20);
            game().addObject(std::move(head));
        }
        tick();
        if (t == 100) settled = residentKilobytes();
    }
    const std::string printed = GetCapturedStdout();

    EXPECT_LT(game().getWorld().size(), 200u);
    EXPECT_LT(residentKilobytes() - settled, 64 * 1024) << "kilobytes grown over 300 ticks";
    std::set<std::string> reported;
    std::istringstream lines(printed);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Setting ", 0) != 0) continue;
        const std::string key = line.substr(8, line.find(' ', 8) - 8);
        EXPECT_TRUE(reported.insert(key).second) << "reported twice: " << line;
    }
    const std::string extreme = GetParam().name;
    if (extreme == "bundled" || extreme == "zero") {
        EXPECT_TRUE(reported.empty()) << printed;
    } else {
        EXPECT_TRUE(reported.count("gravity") && reported.count("maxSplats")) << printed;
    }
    if (extreme == "huge") {
        EXPECT_NE(printed.find("Setting punchHitParticleCount 2000000000 is out of range; using 65536.\n"),
                  std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Extremes, ExtremeSettingsTest,
    testing::Values(Extreme{"bundled", 0, 0.0f}, Extreme{"zero", 0, 0.0f}, Extreme{"negative", -2000000000, -1e38f},
                    Extreme{"huge", 2000000000, 1e38f},
                    Extreme{"nan", -1, std::numeric_limits<float>::quiet_NaN()},
                    Extreme{"infinite", 2000000000, std::numeric_limits<float>::infinity()}),
    [](const testing::TestParamInfo<Extreme>& info) { return std::string(info.param.name); });
