#include "DataChecker.h"

#include <algorithm>

#include "audio/SoundList.h"
#include "characters/AnimationLibrary.h"
#include "characters/StartupAnimations.h"
#include "core/Settings.h"
#include "core/TextFile.h"
#include "render/TextureList.h"
#include "ui/CutsceneScript.h"
#include "world/LevelScript.h"

namespace {

// Names the game's own code draws and plays, whatever the levels say.
const char* const kTexturesTheGameBinds[] = {
    "font", "pen", "arm", "leg", "head", "bazooka", "credits", "continue", "join", "mainmenu_1p", "mainmenu_2p",
    "mainmenu_credits", "mainmenu_quit", "pausemenu_resume", "pausemenu_restart", "pausemenu_exit",
    "mainmenu_bk", "pausemenu_bk", "deathmenu_bk", "loading", "background", "smallink", "medink", "largeink"};
const char* const kSoundsTheGamePlays[] = {"woosh", "punch", "stickhit", "rip", "slurp", "bazooka", "bazookasplash",
                                           "obstaclehit", "quillbanter"};
const char* const kFirstLevel = "level1.dat";
const char* const kMenuMusic = "Punchout.ogg";
const std::pair<const char*, const char*> kGameCutscenes[] = {
    {"cutscenes/arcade.dat", "the arcade attract loop"}, {"cutscenes/credits.dat", "the credits"}};

}  // namespace

void DataChecker::run() {
    checkSettings();
    checkTextures();
    checkSounds();
    checkAnimations();
    for (const auto& [path, user] : kGameCutscenes) {
        cutscenes.emplace(path, Reference{user, 0});
    }
    checkLevels();
    for (const auto& [path, namedAt] : cutscenes) {
        checkCutscene(path, namedAt);
    }
    checkMusic(kMenuMusic, Reference{"the main menu", 0});
}

std::string DataChecker::summary() const {
    return std::to_string(levelCount) + " levels, " + std::to_string(cutscenes.size()) + " cutscenes, " +
           std::to_string(std::size(kStartupAnimations)) + " animations, " + std::to_string(textureNames.size()) +
           " textures, " + std::to_string(soundCount) + " sounds";
}

void DataChecker::checkSettings() {
    if (!TextFile("config.dat", problems).isOpen()) {
        problems.add("config.dat", 0, "is missing: the game would start with every setting at 0");
        return;
    }
    Settings::instance().load("config.dat", problems);
}

void DataChecker::checkTextures() {
    const std::string list = "textures.dat";
    if (!TextFile(list, problems).isOpen()) {
        problems.add(list, 0, "is missing: the game would draw without pictures");
    }
    std::map<std::string, int> defined;
    for (const TextureList::Entry& entry : TextureList::read(list, problems)) {
        if (const auto [earlier, added] = defined.emplace(entry.name, entry.line); !added) {
            problems.add(list, entry.line, "texture '" + entry.name + "' is already defined on line " +
                                               std::to_string(earlier->second));
            continue;
        }
        textureNames.insert(entry.name);
        checkFile("images/" + entry.file, probe.picture("images/" + entry.file), {list, entry.line});
    }
    for (const char* name : kTexturesTheGameBinds) {
        if (textureNames.count(name) == 0) {
            problems.add(list, 0, "texture '" + std::string(name) + "' is missing; the game draws it");
        }
    }
}

void DataChecker::checkSounds() {
    const std::string list = "sounds.dat";
    std::set<std::string> names;
    for (const SoundList::Record& record : SoundList::read(list, problems)) {
        names.insert(record.name);
        for (const std::string& file : record.files) {
            ++soundCount;
            checkFile("sounds/" + file, probe.sound("sounds/" + file), {list, record.line});
        }
    }
    for (const char* name : kSoundsTheGamePlays) {
        if (names.count(name) == 0) {
            problems.add(list, 0, "sound '" + std::string(name) + "' is missing; the game plays it");
        }
    }
}

void DataChecker::checkAnimations() {
    AnimationLibrary& library = AnimationLibrary::instance();
    for (const StartupAnimation& animation : kStartupAnimations) {
        if (library.load(animation.file, problems) && library.find(animation.name) == nullptr) {
            problems.add(std::string("animations/") + animation.file, 1,
                         "the figures ask this file for the animation '" + std::string(animation.name) +
                             "', but it carries another name");
        }
    }
}

void DataChecker::checkLevels() {
    std::set<std::string> visited;
    Reference namedAt{"the first level", 0};
    for (std::string name = kFirstLevel; !name.empty();) {
        const std::string path = "levels/" + name;
        if (!visited.insert(name).second) {
            problems.add(namedAt.file, namedAt.line, "the chain of levels loops back to '" + name + "'");
            return;
        }
        TextFile file(path, problems);
        if (!file.isOpen()) {
            checkFile(path, "is missing", namedAt);
            return;
        }
        ++levelCount;
        LevelScript script;
        script.read(file, name);
        checkLevelEntries(script, path);
        if (script.endLine == 0) {
            problems.add(path, 0, "has no 'end' line: the level never ends");
        }
        namedAt = Reference{path, script.endLine};
        name = script.nextLevel;
    }
}

void DataChecker::checkLevelEntries(const LevelScript& script, const std::string& path) {
    if (!script.background.empty() && textureNames.count(script.background) == 0) {
        problems.add(path, script.backgroundLine, "background '" + script.background + "' is not in textures.dat");
    }
    if (script.boss.line != 0 &&
        std::none_of(script.enemies.begin(), script.enemies.end(), [](const EnemyEntry& e) { return e.type == 4; })) {
        problems.add(path, script.boss.line, "a boss line, but no boss (enemy kind 4) comes in this level");
    }
    for (const ObstacleEntry& obstacle : script.obstacles) {
        if (textureNames.count(obstacle.texture) == 0) {
            problems.add(path, obstacle.line, "texture '" + obstacle.texture + "' is not in textures.dat");
        }
    }
    for (const CutsceneEntry& cutscene : script.cutscenes) {
        cutscenes.emplace(cutscene.file, Reference{path, cutscene.line});
    }
    for (const MusicEntry& music : script.music) {
        checkMusic(music.file, Reference{path, music.line});
    }
}

void DataChecker::checkCutscene(const std::string& path, const Reference& namedAt) {
    CutsceneScript script;
    if (!script.read(path, problems)) {
        checkFile(path, "is missing", namedAt);
        return;
    }
    std::set<std::string> ownTextures;
    for (const CutsceneScript::Picture& picture : script.pictures) {
        ownTextures.insert(picture.texture);
        checkFile("images/" + picture.file, probe.picture("images/" + picture.file), {path, picture.line});
    }
    for (const CutsceneFrame& frame : script.frames) {
        if (ownTextures.count(frame.texture) == 0 && textureNames.count(frame.texture) == 0) {
            problems.add(path, frame.line, "frame texture '" + frame.texture +
                                               "' is defined neither in this file nor in textures.dat");
        }
    }
}

void DataChecker::checkMusic(const std::string& file, const Reference& namedAt) {
    checkFile("music/" + file, probe.music("music/" + file), namedAt);
}

void DataChecker::checkFile(const std::string& path, const std::string& problem, const Reference& namedAt) {
    if (problem.empty()) {
        return;
    }
    if (namedAt.line > 0) {
        problems.add(namedAt.file, namedAt.line, "'" + path + "' " + problem);
    } else {
        problems.add(path, 0, problem + "; the game needs it for " + namedAt.file);
    }
}
