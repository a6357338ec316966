// A game recorded through the input seam plays back to the same state, every time; a
// changed input shows up where it changes the game; the header's settings and data
// rule playback; damaged files are refused with one line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <AL/alut.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "core/Game.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "core/TextFile.h"
#include "replay/DataDigest.h"
#include "replay/Recorder.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayReader.h"
#include "support/TempDataDir.h"

namespace {

constexpr int kRight = 358;
constexpr int kLeft = 356;
constexpr int kAttack = '.';
constexpr int kSpace = ' ';

// Plays the player's replay on a fresh Game; returns the digest it ends with.
std::string play(ReplayPlayer& player) {
    Game::resetInstance();
    player.begin();
    for (int tick = 0; !player.isFinished() && tick < 100000; ++tick) Game::instance().update(20);
    EXPECT_TRUE(player.isFinished());
    return StateDigest::of(Game::instance()).toText() + " after " + std::to_string(player.ticksPlayed());
}

TEST(ReplayTest, ARecordedGamePlaysBackAlikeEveryTimeAndAChangedKeyShowsWhereItMatters) {
    ASSERT_EQ(chdir(MB_DATA_DIR), 0);
    alutInitWithoutContext(nullptr, nullptr);
    Settings& settings = Settings::instance();
    settings.load("config.dat");
    settings.setInt("music", 0);
    const std::string path = std::filesystem::temp_directory_path() / ("replay-test-" + std::to_string(getpid()));

    // A short fight: skip the intro, walk right, punch now and then, pause and leave.
    Recorder recorder(path, settings.toLines());
    InputSeam& seam = InputSeam::instance();
    seam.setListener(&recorder);
    Game::instance().startGame(true, false, "level1.dat");
    seam.key(kSpace, true);
    seam.key(kRight, true);
    for (int tick = 0; tick < 420; ++tick) {
        if (tick % 15 == 0) seam.key(kAttack, tick % 30 == 0);
        Game::instance().update(20);
    }
    for (const int key : {27, 359, 359, 13}) seam.key(key, true);
    seam.setListener(nullptr);
    ASSERT_FALSE(seam.isPlaying()) << "the pause menu's exit ends the game";

    ReplayFile replay;
    std::string error;
    ASSERT_TRUE(ReplayReader::read(path, replay, error)) << error;
    std::filesystem::remove(path);
    EXPECT_EQ(replay.start.levelFile, "level1.dat");
    EXPECT_EQ(replay.endTick, 420);
    EXPECT_TRUE(replay.endedInMenu);
    EXPECT_EQ(replay.digests.size(), 8u);

    std::string first;
    for (int run = 0; run < 3; ++run) {
        ReplayPlayer player(replay, "recorded", false);
        const std::string digest = play(player);
        EXPECT_EQ(player.differenceTick(), -1) << player.difference();
        EXPECT_EQ(player.digestsCompared(), 9);
        if (run == 0) first = digest;
        EXPECT_EQ(digest, first);
    }

    // Walking left instead of right from the start: the first digest already differs.
    for (ReplayFile::TimedEvent& timed : replay.events) {
        if (timed.event.code == kRight) timed.event.code = kLeft;
    }
    ReplayPlayer changed(replay, "changed", false);
    play(changed);
    EXPECT_EQ(changed.differenceTick(), 50);
    EXPECT_NE(changed.difference().find("Player"), std::string::npos) << changed.difference();

    // A game that outlasts the longest replay ends its replay there, whole and playable.
    Recorder shortRecorder(path, settings.toLines(), 100);
    seam.setListener(&shortRecorder);
    Game::resetInstance();
    Game::instance().startGame(true, false, "level1.dat");
    testing::internal::CaptureStdout();
    for (int tick = 0; tick < 150; ++tick) Game::instance().update(20);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("The replay " + path + " ends after"), std::string::npos);
    Game::instance().showMainMenu();
    seam.setListener(nullptr);
    ReplayFile cut;
    ASSERT_TRUE(ReplayReader::read(path, cut, error)) << error;
    std::filesystem::remove(path);
    EXPECT_EQ(cut.endTick, 100);
    ReplayPlayer cutPlayer(cut, "cut", false);
    play(cutPlayer);
    EXPECT_EQ(cutPlayer.differenceTick(), -1) << cutPlayer.difference();
}

TEST(ReplayTest, TheHeaderSettingsRuleAndForeignDataIsRefusedByName) {
    Settings& settings = Settings::instance();
    settings.setFloat("moveSpeed", 9.0f);
    settings.setInt("width", 1024);
    settings.setString("coin_host", "127.0.0.1");
    ReplayFile replay;
    replay.settings = {"float moveSpeed 0.123456789", "int width 640", "string replayDirectory ~/r", "int arcade 1"};
    ReplayPlayer::installSettings(replay);
    EXPECT_FLOAT_EQ(settings.getFloat("moveSpeed"), 0.123456789f);
    EXPECT_EQ(settings.getInt("arcade"), 1);
    EXPECT_EQ(settings.getInt("width"), 1024) << "the window is this machine's";
    EXPECT_EQ(settings.getString("replayDirectory"), "") << "playback records nothing";
    EXPECT_EQ(settings.getString("coin_host"), "") << "coin counts come from the file";
    const std::vector<std::string> lines = settings.toLines();
    settings.replaceWith(lines);
    EXPECT_EQ(settings.toLines(), lines);

    const TempDataDir data;
    data.write("levels/level1.dat", "end 100\n");
    data.write("animations/Walk.txt", "walk\n");
    replay.data = DataDigest::current();
    ASSERT_EQ(replay.data.size(), 2u);
    EXPECT_EQ(DataDigest::mismatch(replay.data), "");
    data.write("levels/level1.dat", "end 101\n");
    EXPECT_EQ(DataDigest::mismatch(replay.data), "the data file levels/level1.dat differs from the one recorded");
    std::filesystem::remove("animations/Walk.txt");
    replay.data.erase(replay.data.begin() + 1);
    EXPECT_EQ(DataDigest::mismatch(replay.data), "the data file animations/Walk.txt is missing");
}

TEST(ReplayTest, RecordingKeepsTheNewestReplaysAndAFolderThatCannotBeMadeCostsOneLine) {
    const TempDataDir data;
    for (const char* old : {"20260101-000000.replay", "20260102-000000.replay", "20260103-000000.replay", "notes.txt"}) {
        data.write(std::string("replays/") + old, "x");
    }
    const InputSeam::PlayStart start{"level1.dat", true, false, 1};
    Recorder(data.path() + "/replays", 2).playStarted(start);
    std::vector<std::string> kept;
    for (const auto& entry : std::filesystem::directory_iterator(data.path() + "/replays")) {
        kept.push_back(entry.path().filename().string());
    }
    std::sort(kept.begin(), kept.end());
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0], "20260103-000000.replay");
    EXPECT_EQ(kept[2], "notes.txt");

    data.write("file", "");
    testing::internal::CaptureStdout();
    Recorder(data.path() + "/file/replays", 2).playStarted(start);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("this game is not recorded"), std::string::npos);

    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(Recorder::expandHome("~/replays"), "/home/someone/replays");
    EXPECT_EQ(Recorder::expandHome("a~/b"), "a~/b");
}

TEST(ReplayTest, DamagedFilesAreRefusedWithTheFileAndLine) {
    const std::string header =
        "margin-brawler-replay 1\nversion 1.0.0\nmode home\nlevel level1.dat\nplayers 1 0\nseed 7\n"
        "credits 0\ncontrols 0000000000000000 0 0 0 0\nsetting int arcade 0\nplay\n";
    const std::string digest = "game=00000000 level=00000000";
    // As a Windows editor saves it: a byte-order mark and CR LF line ends.
    std::string windowsHeader = "\xEF\xBB\xBF";
    for (const char c : header) windowsHeader += c == '\n' ? std::string("\r\n") : std::string(1, c);
    // Longer than other text files may be, as a long game's replay is.
    std::string longGame = header;
    while (longGame.size() <= TextFile::MaxFileBytes) longGame += "3 k 358 1\n";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {header + "3 k 358 1\n50 digest " + digest + "\nend 60 menu " + digest + "\n", ""},
        {windowsHeader + "end 60 menu " + digest + "\r\n", ""},
        {longGame + "end 60 menu " + digest + "\n", ""},
        {header + "3 k " + std::string(5000, '7') + " 1\n",
         "f:11: the line is longer than 4096 bytes; reading stops here"},
        {"", "f:0: the file is empty"},
        {"\x7f" "ELF\x01\x02\n", "f:1: not a replay file"},
        {"margin-brawler-replay 2\n", "f:1: replay format 2; this game reads format 1"},
        {header.substr(0, 60), "f:4: the replay stops inside its header (truncated)"},
        {header + "3 k 358 1\n", "f:11: the replay stops before its end record (truncated)"},
        {header + "3 k 3x8 1\n", "f:11: \"3x8\" is not a number"},
        {header + "9 k 358 1\n3 k 358 0\n", "f:12: tick 3 comes after tick 9"},
        {header + "3 a 0 1 nan\n", "f:11: \"nan\" is not a number"},
        {header + "3 a 0 1 7\n", "f:11: axis position 7 is out of range"},
        {header + "50 digest game=zz\n", "f:11: damaged state digest"},
        {header + "end 99999999999 menu " + digest + "\n", "f:11: 99999999999 is out of range"},
        {"margin-brawler-replay 1\ndata ../../etc/passwd 0\n", "f:2: unexpected data file ../../etc/passwd"},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        ReplayFile replay;
        std::string error;
        EXPECT_EQ(ReplayReader::read(in, "f", replay, error), c.message.empty()) << c.text;
        EXPECT_EQ(error, c.message) << c.text;
    }
}

}  // namespace
