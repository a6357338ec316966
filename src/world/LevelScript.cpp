#include "world/LevelScript.h"

#include <algorithm>
#include <limits>
#include <map>
#include <sstream>

#include "core/DataFileName.h"
#include "core/TextFile.h"

namespace {

template <typename Entry>
void sortByX(std::deque<Entry>& entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.x < b.x; });
}

// A line whose fields do not all read still adds its entry; the author hears of it.
void expectFields(const std::istream& words, const TextFile& file, const std::string& kind,
                  const std::string& fields) {
    if (!words) {
        file.report(file.lineNumber(), kind + " needs " + fields);
    }
}

// A name that would reach outside the level's own data is said aloud, file and line.
void refuse(const TextFile& file, int at, const std::string& message) {
    file.problems().report({file.path(), at, message, DataProblem::Console::Out,
                            DataFileName::printable(file.path()) + ":" + std::to_string(at) + ": " + message});
}

}  // namespace

void LevelScript::clear() {
    enemies.clear();
    obstacles.clear();
    stops.clear();
    items.clear();
    cutscenes.clear();
    music.clear();
    // A file without an "end" line never finishes by itself.
    endPosition = std::numeric_limits<double>::infinity();
    nextLevel.clear();
    endLine = 0;
    background.clear();
    backgroundLine = 0;
    boss = BossEntry{};
}

void LevelScript::read(TextFile& file, const std::string& levelName) {
    std::string rawLine;
    while (file.readLine(rawLine)) {
        const std::string line = rawLine.substr(0, rawLine.find('#'));
        std::istringstream words(line);
        std::string kind;
        if (!(words >> kind)) {
            continue;
        }
        const int at = file.lineNumber();
        if (kind == "enemy") {
            EnemyEntry entry;
            entry.line = at;
            words >> entry.weapon >> entry.side >> entry.triggerX >> entry.z >> entry.type >> entry.minPlayers;
            expectFields(words, file, kind, "weapon, side, trigger x, z, kind and minimum players");
            if (!entry.knownWeapon()) {
                file.report(at, "unknown weapon " + std::to_string(entry.weapon) + " (0 none, 1 stick, 2 head)");
            }
            if (!entry.knownKind()) {
                file.report(at, "unknown enemy kind " + std::to_string(entry.type) + " (0 to 3, 4 the boss)");
            }
            enemies.push_back(entry);
        } else if (kind == "obstacle") {
            ObstacleEntry entry;
            entry.line = at;
            words >> entry.texture >> entry.radius >> entry.width >> entry.height >> entry.x >> entry.z >>
                entry.contents;
            expectFields(words, file, kind, "texture, radius, width, height, x, z and contents");
            obstacles.push_back(entry);
        } else if (kind == "stop") {
            double position = 0.0;
            words >> position;
            expectFields(words, file, kind, "a position");
            stops.push_back(position);
        } else if (kind == "item") {
            ItemEntry entry;
            entry.line = at;
            words >> entry.x >> entry.z >> entry.type;
            expectFields(words, file, kind, "x, z and type");
            if (!entry.knownType()) {
                file.report(at, "unknown item type " + std::to_string(entry.type) + " (1 small, 2 medium, 3 large)");
            }
            items.push_back(entry);
        } else if (kind == "cutscene") {
            CutsceneEntry entry;
            entry.line = at;
            words >> entry.file >> entry.x >> entry.players;
            expectFields(words, file, kind, "a file, x and the number of players");
            if (!entry.file.empty() && !DataFileName::isDataPath(entry.file)) {
                refuse(file, at, "the cutscene " + DataFileName::printable(entry.file) +
                                     " is not a file inside the data folder; it is left out");
                continue;
            }
            cutscenes.push_back(entry);
        } else if (kind == "music") {
            MusicEntry entry;
            entry.line = at;
            words >> entry.file >> entry.x >> entry.level;
            expectFields(words, file, kind, "a file, x and a volume");
            music.push_back(entry);
        } else if (kind == "end") {
            double position = 0.0;
            words >> position;
            expectFields(words, file, kind, "a position");
            endPosition = position;
            endLine = at;
            std::string next;
            if (words >> next) {
                if (DataFileName::isLevelName(next)) {
                    nextLevel = next;
                } else {
                    refuse(file, at, "the next level " + DataFileName::printable(next) +
                                         " is not a file name under levels/; the game ends after this level");
                }
            }
        } else if (kind == "boss") {
            readBoss(words, file, at);
        } else if (kind == "background") {
            words >> background;
            expectFields(words, file, kind, "a texture name");
            backgroundLine = at;
        } else {
            file.problems().report({file.path(), at, "unknown line kind '" + kind + "'", DataProblem::Console::Out,
                                    "Unhandled line in " + levelName + ": " + line});
        }
    }
    limitCrowds(file);
    sort();
}

// "boss <look> [name...]": the look is plain, eyes, crown or crown+eyes; the name is the
// rest of the line, its words joined by single spaces. The font shows printable ASCII
// only and the bar has room for so much, so anything else is replaced or cut, and said.
void LevelScript::readBoss(std::istream& words, const TextFile& file, int at) {
    BossEntry entry;
    entry.line = at;
    std::string look;
    if (!(words >> look)) {
        file.report(at, "boss needs a look (plain, eyes, crown or crown+eyes) and may have a name");
    } else if (look == "eyes" || look == "crown" || look == "crown+eyes") {
        entry.look.redEyes = look != "crown";
        entry.look.crown = look != "eyes";
    } else if (look != "plain") {
        file.report(at, "unknown boss look '" + DataFileName::printable(look) +
                            "' (plain, eyes, crown or crown+eyes); the boss is drawn plain");
    }
    bool unprintable = false;
    for (std::string word; words >> word;) {
        if (!entry.name.empty()) {
            entry.name += ' ';
        }
        for (char& c : word) {
            const unsigned char byte = static_cast<unsigned char>(c);
            if (byte < ' ' || byte > '~') {
                c = '?';
                unprintable = true;
            }
        }
        entry.name += word;
    }
    if (unprintable) {
        file.report(at, "the boss's name may hold only printable ASCII characters; the others show as '?'");
    }
    if (entry.name.size() > BossEntry::MaxNameLength) {
        entry.name.resize(BossEntry::MaxNameLength);
        file.report(at, "the boss's name is longer than " + std::to_string(BossEntry::MaxNameLength) +
                            " characters; the rest is left out");
    }
    boss = entry;
}

void LevelScript::limitCrowds(const TextFile& file) {
    struct Crowd {
        int count = 0;
        int firstLeftOut = 0;
    };
    std::map<double, Crowd> crowds;
    std::deque<EnemyEntry> kept;
    for (const EnemyEntry& entry : enemies) {
        Crowd& crowd = crowds[entry.triggerX];
        if (++crowd.count <= EnemiesAtOnce) {
            kept.push_back(entry);
        } else if (crowd.firstLeftOut == 0) {
            crowd.firstLeftOut = entry.line;
        }
    }
    if (kept.size() == enemies.size()) {
        return;
    }
    enemies.swap(kept);
    // One line per crowd, at the first line left out, in file order.
    std::map<int, std::string> reports;
    for (const auto& [triggerX, crowd] : crowds) {
        if (crowd.firstLeftOut == 0) {
            continue;
        }
        std::ostringstream text;
        text << (crowd.count - EnemiesAtOnce) << " enemies beyond the " << EnemiesAtOnce
             << " that may come in at once at x " << triggerX << " are left out, from this line on";
        reports.emplace(crowd.firstLeftOut, text.str());
    }
    for (const auto& [line, message] : reports) {
        file.problems().report({file.path(), line, message, DataProblem::Console::Err,
                                file.path() + ":" + std::to_string(line) + ": " + message});
    }
}

void LevelScript::sort() {
    std::stable_sort(enemies.begin(), enemies.end(),
                     [](const EnemyEntry& a, const EnemyEntry& b) { return a.triggerX < b.triggerX; });
    sortByX(obstacles);
    std::stable_sort(stops.begin(), stops.end());
    sortByX(items);
    sortByX(cutscenes);
    sortByX(music);
}
