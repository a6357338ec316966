// margin-check, run as CI runs it: over the bundled data, and over a copy of it with one
// fault of each kind written in.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/TempDataDir.h"

namespace {

struct CheckRun {
    std::string output;
    int status = -1;
};

CheckRun check(const std::string& directory) {
    CheckRun run;
    FILE* pipe = popen((std::string(MB_MARGIN_CHECK) + " '" + directory + "' 2>&1").c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

void append(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::app) << text; }

int lineCount(const std::string& path) {
    std::ifstream in(path);
    int lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    return lines;
}

TEST(MarginCheckTest, TheBundledDataIsClean) {
    const CheckRun run = check(MB_DATA_DIR);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.rfind("margin-check: " + std::string(MB_DATA_DIR) + " is clean (", 0), 0u) << run.output;
}

TEST(MarginCheckTest, EveryFaultIsReportedAtItsFileAndLine) {
    TempDataDir dir;
    std::filesystem::copy(MB_DATA_DIR, dir.path(), std::filesystem::copy_options::recursive);
    const std::string textures = std::to_string(lineCount("textures.dat") + 1);
    const std::string sounds = std::to_string(lineCount("sounds.dat") + 1);
    dir.write("config.dat", "int width wide\nbool fullscreen 1\n");
    append("textures.dat", "hud/missing.png ghost\nhud/pen.png font\n");
    append("sounds.dat", "boom 1 bad.wav\nbang 2 rip.wav\n");
    dir.write("sounds/bad.wav", "RIFF but not a sound");
    dir.write("animations/Walk.txt", "walk\n1 2 3 oops\n");
    dir.write("animations/Die.txt", "dead 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 100\n");
    std::string crowd;
    for (int i = 0; i < 34; ++i) crowd += "enemy 0 0 50 -2 0 1\n";
    dir.write("levels/level1.dat",
              "enemy 7 0 5 -2 9 1\nobstacle nosuch 1 2 3 4 5 0\nitem 3 4 8\ndance 1 2\nstop\n"
              "cutscene cutscenes/nope.dat 3 1\nmusic gone.ogg 0 1\ncutscene cutscenes/broken.dat 9 1\n"
              "cutscene cutscenes/zero.dat 9 2\nend 100 level2.dat\n" + crowd);
    dir.write("levels/level2.dat", "end 100 level1.dat\nboss hat The Quite Extraordinarily Long-Winded Inkblot\n");
    dir.write("cutscenes/broken.dat", "texture pic slides/none.jpg\ntexture bad bad.png\nframe phantom 100 0 0\n"
                                      "frame pic ten 0 0\n");
    dir.write("images/bad.png", "not a picture");
    std::filesystem::create_symlink("/dev/zero", "cutscenes/zero.dat");
    dir.write("cutscenes/arcade.dat", "texture a slides/arcade_1.jpg\n");
    std::filesystem::remove("cutscenes/credits.dat");
    std::filesystem::remove("music/Punchout.ogg");

    CheckRun run = check(".");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output,
              "animations/Die.txt:1: the figures ask this file for the animation 'die', but it carries another name\n"
              "animations/Walk.txt:2: 'oops' is not a decimal angle; the animation ends before it\n"
              "animations/Walk.txt:2: 'walk' has no complete key frame\n"
              "config.dat:1: 'width' needs a whole number\n"
              "config.dat:2: unknown line kind 'bool'\n"
              "cutscenes/arcade.dat:1: no frame: the cutscene ends as soon as it starts\n"
              "cutscenes/broken.dat:1: 'images/slides/none.jpg' is missing\n"
              "cutscenes/broken.dat:2: 'images/bad.png' does not decode as a PNG picture\n"
              "cutscenes/broken.dat:3: frame texture 'phantom' is defined neither in this file nor in textures.dat\n"
              "cutscenes/broken.dat:4: frame needs a texture and three whole numbers (hold, fade, transition); "
              "the cutscene ends before it\n"
              "cutscenes/credits.dat: is missing; the game needs it for the credits\n"
              "cutscenes/zero.dat:1: the line is longer than 4096 bytes; reading stops here\n"
              "cutscenes/zero.dat:1: no frame: the cutscene ends as soon as it starts\n"
              "levels/level1.dat:1: unknown weapon 7 (0 none, 1 stick, 2 head)\n"
              "levels/level1.dat:1: unknown enemy kind 9 (0 to 3, 4 the boss)\n"
              "levels/level1.dat:2: texture 'nosuch' is not in textures.dat\n"
              "levels/level1.dat:3: unknown item type 8 (1 small, 2 medium, 3 large)\n"
              "levels/level1.dat:4: unknown line kind 'dance'\n"
              "levels/level1.dat:5: stop needs a position\n"
              "levels/level1.dat:6: 'cutscenes/nope.dat' is missing\n"
              "levels/level1.dat:7: 'music/gone.ogg' is missing\n"
              "levels/level1.dat:43: 2 enemies beyond the 32 that may come in at once at x 50 are left out, from "
              "this line on\n"
              "levels/level2.dat:1: the chain of levels loops back to 'level1.dat'\n"
              "levels/level2.dat:2: unknown boss look 'hat' (plain, eyes, crown or crown+eyes); the boss is drawn "
              "plain\n"
              "levels/level2.dat:2: the boss's name is longer than 32 characters; the rest is left out\n"
              "levels/level2.dat:2: a boss line, but no boss (enemy kind 4) comes in this level\n"
              "music/Punchout.ogg: is missing; the game needs it for the main menu\n"
              "sounds.dat:" + sounds + ": 'sounds/bad.wav' does not load: Unsupported mode within an otherwise usable "
              "file type\n"
              "sounds.dat:" + std::to_string(std::stoi(sounds) + 1) + ": sound 'bang' counts 2 files but 1 follow\n"
              "textures.dat:" + textures + ": 'images/hud/missing.png' is missing\n"
              "textures.dat:" + std::to_string(std::stoi(textures) + 1) + ": texture 'font' is already defined on line 1\n"
              "margin-check: 31 problems in .\n");

    dir.write("levels/level2.dat", "enemy 0 0 5 -2 0 1\n");
    run = check(".");
    EXPECT_NE(run.output.find("levels/level2.dat: has no 'end' line: the level never ends\n"), std::string::npos)
        << run.output;
}

}  // namespace
