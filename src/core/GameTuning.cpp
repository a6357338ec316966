#include "core/GameTuning.h"

#include <algorithm>
#include <iomanip>
#include <limits>
#include <map>
#include <sstream>

#include "core/SettingLimits.h"
#include "core/Settings.h"

namespace {

enum class Kind { Flag, Int, Float };

struct TuningKey {
    std::string name;
    Kind kind;
    IntLimits ints;
    FloatLimits floats;
};

TuningKey flag(const std::string& name) { return {name, Kind::Flag, {0, 1}, {}}; }
TuningKey whole(const std::string& name, IntLimits within) { return {name, Kind::Int, within, {}}; }
TuningKey real(const std::string& name, FloatLimits within) { return {name, Kind::Float, {}, within}; }

// Every blood spray: each is tuned by seven keys, its name followed by a suffix.
const char* const kSprays[] = {"punchHit", "stickHit",  "headHit",       "headExplode", "headDrip",  "headShot",
                               "stickDrip", "disintegrate", "obstacleBreak", "limb",        "bossHit",   "bossDeath"};

// The limits are those the key's reader clamps into (see where each is read). The
// replay tool plays the regression replays in a store that holds nothing but what this
// list lets through, so a key the game reads that is missing here shows up there as a
// replay that no longer matches.
std::map<std::string, TuningKey> buildTable() {
    std::vector<TuningKey> keys = {
        real("moveSpeed", limits::speed),
        real("punchAttackDist", limits::distance),
        real("stickAttackDist", limits::distance),
        real("throwSpeed", limits::speed),
        real("punchDamage", limits::damage),
        real("stickDamage", limits::damage),
        real("headDamage", limits::damage),
        real("bossPunchDamage", limits::damage),
        real("explodingHeadDamage", limits::damage),
        real("explodingHeadRadius", limits::distance),
        real("headRadius", limits::bodySize),
        real("stickRadius", limits::bodySize),
        real("bossHeadRadius", limits::bodySize),
        real("bossStickRadius", limits::bodySize),
        real("gravity", limits::gravity),
        real("leftDeadSpace", limits::distance),
        real("x_offset", limits::distance),
        real("z_offset", limits::distance),
        real("joystickDeadSpace", limits::fraction),
        whole("throwsPerHead", limits::uses),
        whole("swingsPerStick", limits::uses),
        whole("throwDuration", limits::duration),
        whole("dripTime", limits::duration),
        whole("minionSpawnTime", limits::duration),
        whole("minionSpawnCount", limits::minions),
        whole("maxSplats", limits::inkDrops),
        whole("difficulty", {-1, 1}),
        flag("friendlyFire"),
        flag("bloodMode"),
    };
    for (const std::string spray : kSprays) {
        keys.push_back(real(spray + "ParticleSpeed", limits::speed));
        keys.push_back(real(spray + "ParticleSpeedVariance", limits::speed));
        keys.push_back(real(spray + "ParticleSize", limits::bodySize));
        keys.push_back(real(spray + "ParticleSizeVariance", limits::bodySize));
        keys.push_back(real(spray + "ParticlePhi", limits::spread));
        keys.push_back(real(spray + "ParticlePercent", limits::chance));
        keys.push_back(whole(spray + "ParticleCount", limits::inkDrops));
    }
    std::map<std::string, TuningKey> table;
    for (const TuningKey& key : keys) table.emplace(key.name, key);
    return table;
}

const std::map<std::string, TuningKey>& table() {
    static const std::map<std::string, TuningKey> keys = buildTable();
    return keys;
}

// The line for `key` with the value of `line` made usable, or empty when the line is of
// another type or its value does not read.
std::string checkedLine(const TuningKey& key, const std::string& line) {
    std::istringstream words(line);
    std::string type;
    std::string name;
    words >> type >> name;
    std::ostringstream out;
    if (key.kind == Kind::Float) {
        float value = 0.0f;
        if (type != "float" || !(words >> value)) return "";
        const float used = std::clamp(value != value ? 0.0f : value, key.floats.lowest, key.floats.highest);
        out << "float " << name << " " << std::setprecision(std::numeric_limits<float>::max_digits10) << used;
    } else {
        int32_t value = 0;
        if (type != "int" || !(words >> value)) return "";
        const int32_t used = key.kind == Kind::Flag ? (value != 0 ? 1 : 0)
                                                    : std::clamp(value, key.ints.lowest, key.ints.highest);
        out << "int " << name << " " << used;
    }
    return out.str();
}

}  // namespace

bool GameTuning::isTuningKey(const std::string& key) { return table().count(key) != 0; }

std::vector<std::string> GameTuning::linesOf(const std::vector<std::string>& lines) {
    std::map<std::string, std::string> kept;
    for (const std::string& line : lines) {
        const auto key = table().find(Settings::keyOfLine(line));
        if (key == table().end()) continue;
        const std::string checked = checkedLine(key->second, line);
        if (!checked.empty()) kept[key->first] = checked;
    }
    std::vector<std::string> tuning;
    for (const auto& [name, line] : kept) tuning.push_back(line);
    return tuning;
}

std::vector<std::string> GameTuning::withTuning(const std::vector<std::string>& own,
                                                const std::vector<std::string>& tuning) {
    std::vector<std::string> lines;
    for (const std::string& line : own) {
        if (!isTuningKey(Settings::keyOfLine(line))) lines.push_back(line);
    }
    lines.insert(lines.end(), tuning.begin(), tuning.end());
    return lines;
}
