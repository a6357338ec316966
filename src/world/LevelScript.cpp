#include "world/LevelScript.h"

#include <algorithm>
#include <iostream>
#include <limits>
#include <sstream>

namespace {

template <typename Entry>
void sortByX(std::deque<Entry>& entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.x < b.x; });
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
    background.clear();
}

void LevelScript::readLine(const std::string& rawLine, const std::string& levelName) {
    const std::string line = rawLine.substr(0, rawLine.find('#'));
    std::istringstream words(line);
    std::string kind;
    if (!(words >> kind)) {
        return;
    }
    // A field the line does not supply keeps its default; the entry is added anyway.
    if (kind == "enemy") {
        EnemyEntry entry;
        words >> entry.weapon >> entry.side >> entry.triggerX >> entry.z >> entry.type >>
            entry.minPlayers;
        enemies.push_back(entry);
    } else if (kind == "obstacle") {
        ObstacleEntry entry;
        words >> entry.texture >> entry.radius >> entry.width >> entry.height >> entry.x >>
            entry.z >> entry.contents;
        obstacles.push_back(entry);
    } else if (kind == "stop") {
        double position = 0.0;
        words >> position;
        stops.push_back(position);
    } else if (kind == "item") {
        ItemEntry entry;
        words >> entry.x >> entry.z >> entry.type;
        items.push_back(entry);
    } else if (kind == "cutscene") {
        CutsceneEntry entry;
        words >> entry.file >> entry.x >> entry.players;
        cutscenes.push_back(entry);
    } else if (kind == "music") {
        MusicEntry entry;
        words >> entry.file >> entry.x >> entry.level;
        music.push_back(entry);
    } else if (kind == "end") {
        double position = 0.0;
        words >> position;
        endPosition = position;
        std::string next;
        if (words >> next) {
            nextLevel = next;
        }
    } else if (kind == "background") {
        words >> background;
    } else {
        std::cout << "Unhandled line in " << levelName << ": " << line << "\n";
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
