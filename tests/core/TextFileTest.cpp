// Every text format reads a file saved on Windows (CR LF line ends, a byte-order mark)
// exactly like one saved on Linux, and a runaway file such as /dev/zero stops at the
// line reader's limits with one message naming the file and line.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "audio/SoundList.h"
#include "characters/AnimationLibrary.h"
#include "core/ConsoleProblems.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "core/TextFile.h"
#include "input/JoystickCalibration.h"
#include "render/TextureList.h"
#include "support/TempDataDir.h"
#include "ui/Cutscene.h"

namespace {

class Collected : public ProblemSink {
public:
    void report(const DataProblem& problem) override {
        said += problem.file + ":" + std::to_string(problem.line) + ": " + problem.message + "\n";
    }
    std::string said;
};

std::string savedOnWindows(const std::string& text) {
    std::string bytes = "\xEF\xBB\xBF";
    for (const char c : text) bytes += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return bytes;
}

// One text format: where its file lives, what it holds, and what the game made of it.
struct Format {
    std::string path;
    std::string text;
    std::function<std::string()> load;
    std::string expected;
};

std::vector<Format> everyFormat() {
    static ConsoleProblems console;
    return {
        {"config.dat", "string dataDirectory data\nkey player1Left a\n",
         [] {
             Settings::instance().load("config.dat");
             return Settings::instance().getString("dataDirectory") + " " +
                    std::to_string(Settings::instance().getInt("player1Left"));
         },
         "data 97"},
        {"textures.dat", "hud/font.png font\nhud/pen.png\npen\n",
         [] {
             std::string read;
             for (const auto& entry : TextureList::read("textures.dat", console))
                 read += entry.file + ">" + entry.name + "@" + std::to_string(entry.line) + " ";
             return read;
         },
         "hud/font.png>font@1 hud/pen.png>pen@2 "},
        {"sounds.dat", "woosh 2 a.wav\nb.wav\n",
         [] {
             const auto records = SoundList::read("sounds.dat", console);
             return records.empty() ? "" : records[0].name + ">" + records[0].files.back();
         },
         "woosh>b.wav"},
        {"levels/one.dat", "enemy 0 0 5 -2 0 1\nend 40 two.dat\n",
         [] {
             Level level;
             return level.load("one.dat") ? level.nextLevelName() : "";
         },
         "two.dat"},
        {"animations/Wave.txt", "wave\n1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18\n250\n",
         [] {
             AnimationLibrary::instance().load("Wave.txt");
             const Animation* wave = AnimationLibrary::instance().find("wave");
             return wave == nullptr || wave->empty() ? "" : std::to_string((*wave)[0].duration);
         },
         "250"},
        {"cutscenes/show.dat", "frame slide 40 0 2\n",
         [] {
             Cutscene::instance().load("cutscenes/show.dat");
             return Cutscene::instance().currentFrame().texture;
         },
         "slide"},
        {"joystick.cal", "BeginJoystick = /dev/input/js0\nName = Pad\nEndJoystick\n",
         [] {
             JoystickCalibration calibration;
             calibration.load("joystick.cal");
             const auto* pad = calibration.find("/dev/input/js0");
             return pad == nullptr ? "" : pad->name;
         },
         "Pad"},
    };
}

TEST(TextFileTest, EveryFormatReadsAWindowsFileLikeALinuxOne) {
    TempDataDir dir;
    Game::instance();
    for (const Format& format : everyFormat()) {
        dir.write(format.path, savedOnWindows(format.text));
        testing::internal::CaptureStderr();
        EXPECT_EQ(format.load(), format.expected) << format.path;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << format.path;
    }
}

// Level and cutscene names come from level files, replays and online peers: a name that
// leads to a device is refused before anything is read.
TEST(TextFileTest, EveryFormatStopsAtTheLineLimitOfDevZero) {
    TempDataDir dir;
    Game::instance();
    const std::map<std::string, std::string> refused = {{"levels/one.dat", "Failed to load one.dat\n"},
                                                        {"cutscenes/show.dat", ""}};
    for (const Format& format : everyFormat()) {
        const std::filesystem::path folder = std::filesystem::path(format.path).parent_path();
        if (!folder.empty()) std::filesystem::create_directories(folder);
        std::filesystem::create_symlink("/dev/zero", format.path);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        format.load();
        testing::internal::GetCapturedStdout();
        const auto named = refused.find(format.path);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  named != refused.end() ? named->second
                                         : format.path + ":1: the line is longer than 4096 bytes; reading stops here\n")
            << format.path;
    }
}

TEST(TextFileTest, LimitsKeepWhatCameBeforeAndAFolderDoesNotOpen) {
    TempDataDir dir;
    Collected problems;
    std::string line;
    dir.write("lines.txt", std::string(TextFile::MaxLineBytes, 'x') + "\nshort\n" +
                               std::string(TextFile::MaxLineBytes + 1, 'y') + "\nnever read\n");
    TextFile lines("lines.txt", problems);
    EXPECT_TRUE(lines.readLine(line) && line.size() == TextFile::MaxLineBytes);
    EXPECT_TRUE(lines.readLine(line) && line == "short");
    EXPECT_FALSE(lines.readLine(line) || lines.readLine(line));
    EXPECT_EQ(problems.said, "lines.txt:3: the line is longer than 4096 bytes; reading stops here\n");

    problems.said.clear();
    dir.write("long.txt", std::string(TextFile::MaxFileBytes + 1, '\n'));
    TextFile tall("long.txt", problems);
    int count = 0;
    while (tall.readLine(line)) ++count;
    EXPECT_EQ(count, static_cast<int>(TextFile::MaxFileBytes));
    EXPECT_EQ(problems.said, "long.txt:4194305: the file is longer than 4194304 bytes; reading stops here\n");

    EXPECT_FALSE(TextFile(dir.path(), problems).isOpen());
}

}  // namespace
