// A game recorded through the input seam plays back to the same state, every time; a
// changed input shows up where it changes the game; the header's settings and data
// rule playback; damaged files are refused with one line.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <AL/alut.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core/Game.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "core/TextFile.h"
#include "replay/DataDigest.h"
#include "replay/Recorder.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayReader.h"
#include "replay/ReplaySession.h"
#include "support/TempDataDir.h"

#if defined(__SANITIZE_ADDRESS__)
#define MB_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MB_ADDRESS_SANITIZER
#endif
#endif

namespace {

constexpr int kRight = 358;
constexpr int kAttack = '.';
constexpr int kSpace = ' ';

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

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
    EXPECT_EQ(replay.start.levelFile, "level1.dat");
    EXPECT_EQ(replay.endTick, 420);
    EXPECT_TRUE(replay.endedInMenu);

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
    std::string text = readAll(path);
    for (std::size_t at = 0; (at = text.find(" k 358 ", at)) != std::string::npos;) text.replace(at, 7, " k 356 ");
    writeAll(path, text);
    ASSERT_TRUE(ReplayReader::read(path, replay, error)) << error;
    ReplayPlayer changed(replay, "changed", false);
    play(changed);
    std::filesystem::remove(path);
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
    EXPECT_EQ(cut.endTick, 100);
    ReplayPlayer cutPlayer(cut, "cut", false);
    play(cutPlayer);
    std::filesystem::remove(path);
    EXPECT_EQ(cutPlayer.differenceTick(), -1) << cutPlayer.difference();
}

// A replay from someone else sets only how the game goes: not the mode after it, not the
// online game, not the folders or devices, not a tuning value beyond its limits. When it
// has played, every setting is as it was and the game is back in this machine's menu.
TEST(ReplayTest, ASharedReplayPlaysByItsGameTuningAloneAndLeavesEverySettingAsItFoundIt) {
    ASSERT_EQ(chdir(MB_DATA_DIR), 0);
    alutInitWithoutContext(nullptr, nullptr);
    Settings& settings = Settings::instance();
    settings.load("config.dat");
    settings.setInt("music", 0);
    const std::string path =
        std::filesystem::temp_directory_path() / ("shared-" + std::to_string(getpid()) + ".replay");
    settings.setString("playReplay", path);
    const std::vector<std::string> before = settings.toLines();
    const std::string ownCalibration = settings.getString("joystickCalibration");

    std::string text =
        "margin-brawler-replay 1\nversion 1.0.0\nmode arcade\nlevel level1.dat\nplayers 1 0\nseed 7\ncredits 1\n"
        "controls 0000000000000000 0 0 0 0\n";
    for (const char* line :
         {"int online 1", "string onlineHost attacker.example", "int arcade 1", "int width 64",
          "string replayDirectory /tmp/elsewhere", "string joystickCalibration /dev/evil",
          "string coin_host attacker.example", "key escape x", "float moveSpeed 1e9", "float gravity 12.5",
          "int bloodMode 7", "int player1Left 97", "float leftDeadSpace nan"}) {
        text += std::string("setting ") + line + "\n";
    }
    for (const ReplayFile::DataFile& file : DataDigest::current()) {
        text += "data " + file.name + " " + file.digest + "\n";
    }
    text += "play\n0 k 97 1\nend 5 menu game=00000000 level=00000000\n";
    writeAll(path, text);

    ReplaySession::prepare(MB_DATA_DIR);
    EXPECT_EQ(settings.getInt("online"), 0);
    EXPECT_EQ(settings.getString("onlineHost"), "");
    EXPECT_EQ(settings.getInt("width"), 800);
    EXPECT_EQ(settings.getString("joystickCalibration"), ownCalibration);
    EXPECT_EQ(settings.getInt("escape"), 27);
    EXPECT_EQ(settings.getString("replayDirectory"), "") << "playback records nothing";
    EXPECT_EQ(settings.getString("coin_host"), "") << "coin counts come from the file";
    EXPECT_EQ(settings.getInt("arcade"), 1) << "the recorded game was an arcade game";
    EXPECT_EQ(settings.getFloat("moveSpeed"), limits::speed.highest);
    EXPECT_EQ(settings.getFloat("gravity"), 12.5f);
    EXPECT_EQ(settings.getFloat("leftDeadSpace"), 0.0f);
    EXPECT_EQ(settings.getInt("bloodMode"), 1);
    EXPECT_EQ(settings.getInt("player1Left"), 97) << "the recorded keys mean what they meant";

    testing::internal::CaptureStdout();
    ReplaySession::start();
    for (int tick = 0; tick < 20; ++tick) Game::instance().update(20);
    const std::string said = testing::internal::GetCapturedStdout();
    std::filesystem::remove(path);
    EXPECT_NE(said.find(path + ": replay finished after 6 ticks"), std::string::npos) << said;
    EXPECT_EQ(settings.toLines(), before);
    EXPECT_FALSE(Game::instance().isAttract());
    EXPECT_NE(Game::instance().getMenu(), nullptr) << "this machine's main menu";
}

// A level's boss lines only name and dress its boss: adding, changing or removing one
// keeps the level's digest; anything else in it does not.
TEST(ReplayTest, ForeignDataIsRefusedByNameButABossLineChangesNothing) {
    const TempDataDir data;
    data.write("levels/level1.dat", "end 100\n");
    data.write("animations/Walk.txt", "walk\n");
    std::vector<ReplayFile::DataFile> recorded = DataDigest::current();
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_EQ(DataDigest::mismatch(recorded), "");
    data.write("levels/level1.dat", "  boss crown the Blot # named\nend 100\nboss\tplain");
    EXPECT_EQ(DataDigest::mismatch(recorded), "");
    for (const char* changed : {"bossy 1\nend 100\n", "end 100\n# boss\n", "end 100 \n"}) {
        data.write("levels/level1.dat", changed);
        EXPECT_NE(DataDigest::mismatch(recorded), "") << changed;
    }
    data.write("levels/level1.dat", "end 101\n");
    EXPECT_EQ(DataDigest::mismatch(recorded), "the data file levels/level1.dat differs from the one recorded");
    std::filesystem::remove("animations/Walk.txt");
    recorded.erase(recorded.begin() + 1);
    EXPECT_EQ(DataDigest::mismatch(recorded), "the data file animations/Walk.txt is missing");
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// The recording folder may hold the player's own files: rotation deletes only replays the
// recorder named, the oldest by their time stamp, and never the game just begun.
TEST(ReplayTest, RecordingKeepsTheNewestOfItsOwnReplaysAndTouchesNothingElse) {
    const TempDataDir data;
    for (const char* name : {"20260101-000000.replay", "20260101-000000-2.replay", "20260101-000000-10.replay",
                             "99991231-235959.replay", "1999-my-best-game.replay", "20260101-000000-02.replay",
                             "notes.txt"}) {
        data.write(std::string("replays/") + name, "x");
    }
    // A data file named with a space is no level anyone can name; new replays still read.
    data.write("levels/level1.dat", "end 0\n");
    data.write("levels/my level.dat", "end 0\n");
    const InputSeam::PlayStart start{"level1.dat", true, false, 1};
    // What describes the player's machine stays out of a replay that may be shared.
    Settings& settings = Settings::instance();
    settings.setString("onlineHost", "10.0.0.7");
    settings.setString("dataDirectory", "/home/someone/games/data");
    settings.setFloat("gravity", 9.0f);
    settings.setInt("padPlayer2Attack", 3);
    Recorder recorder(data.path() + "/replays", 4);
    recorder.playStarted(start);
    recorder.playEnded();
    const std::string newest = std::filesystem::path(recorder.currentPath()).filename();
    EXPECT_EQ(filesIn(data.path() + "/replays"),
              (std::vector<std::string>{"1999-my-best-game.replay", "20260101-000000-02.replay",
                                        "20260101-000000-10.replay", "20260101-000000-2.replay", newest,
                                        "99991231-235959.replay", "notes.txt"}));
    ReplayFile replay;
    std::string error;
    EXPECT_TRUE(ReplayReader::read(recorder.currentPath(), replay, error)) << error;
    const auto holds = [&replay](const std::string& line) {
        return std::find(replay.settings.begin(), replay.settings.end(), line) != replay.settings.end();
    };
    EXPECT_TRUE(holds("float gravity 9") && holds("int padPlayer2Attack 3") && holds("int player2Left 0"));
    for (const std::string& line : replay.settings) {
        EXPECT_EQ(line.find("string "), std::string::npos) << line;
    }

    data.write("file", "");
    testing::internal::CaptureStdout();
    Recorder(data.path() + "/file/replays", 2).playStarted(start);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("this game is not recorded"), std::string::npos);

    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(Recorder::expandHome("~/replays"), "/home/someone/replays");
    EXPECT_EQ(Recorder::expandHome("a~/b"), "a~/b");
    // Without a home "~/" is no folder at all: not one in the data folder, not one under "/".
    for (const char* home : std::initializer_list<const char*>{"", "/", "relative", nullptr}) {
        if (home != nullptr) setenv("HOME", home, 1); else unsetenv("HOME");
        testing::internal::CaptureStdout();
        Recorder homeless("~/replays", 2);
        homeless.playStarted(start);
        homeless.playStarted(start);
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "Cannot record replays into ~/replays: HOME names no home folder; games are not recorded.\n");
    }
    EXPECT_EQ(filesIn(data.path()), (std::vector<std::string>{"file", "levels", "replays"}));
    EXPECT_FALSE(std::filesystem::exists("/replays"));
}

// The data memory this process may still take, in bytes, on top of what it holds now.
void limitFurtherDataTo(rlim_t bytes) {
    std::ifstream status("/proc/self/status");
    rlim_t held = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmData:", 0) == 0) held = std::stoull(line.substr(7)) * 1024;
    }
    const rlimit limit{held + bytes, held + bytes};
    setrlimit(RLIMIT_DATA, &limit);
}

// A long game's replay is checked and played a record at a time, so its length costs no
// memory: 8 MiB of key events, read in a process allowed 16 MiB more than it holds.
// AddressSanitizer maps its own memory in large pieces and keeps freed memory back, so
// there the limit says nothing.
TEST(ReplayTest, ALongReplayIsReadWithoutHoldingItsRecords) {
#ifdef MB_ADDRESS_SANITIZER
    GTEST_SKIP() << "memory is measured without AddressSanitizer";
#endif
    const TempDataDir data;
    std::string text =
        "margin-brawler-replay 1\nversion 1.0.0\nmode home\nlevel level1.dat\nplayers 1 0\nseed 7\ncredits 0\n"
        "controls 0000000000000000 0 0 0 0\ndata levels/level1.dat 0123456789abcdef\nplay\n";
    const std::string keys = [] {
        std::string many;
        for (int i = 0; i < 1000; ++i) many += "0 k 120 1\n";
        return many;
    }();
    int records = 1;  // the end record
    for (; text.size() < (8u << 20); records += 1000) text += keys;
    text += "end 1 menu game=00000000 level=00000000\n";
    writeAll("long.replay", text);
    const pid_t child = fork();
    if (child == 0) {
        limitFurtherDataTo(16u << 20);
        try {
            ReplayFile replay;
            std::string error;
            if (!ReplayReader::read("long.replay", replay, error)) _exit(1);
            ReplayReader reader(replay);
            ReplayFile::Record record;
            int count = 0;
            while (reader.next(record)) ++count;
            _exit(count == records && reader.error().empty() ? 0 : 2);
        } catch (const std::bad_alloc&) {
            _exit(3);
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(ReplayTest, DamagedFilesAreRefusedWithTheFileAndLine) {
    const std::string header =
        "margin-brawler-replay 1\nversion 1.0.0\nmode home\nlevel level1.dat\nplayers 1 0\nseed 7\n"
        "credits 0\ncontrols 0000000000000000 0 0 0 0\nsetting int arcade 0\ndata levels/level1.dat 0123456789abcdef\n"
        "play\n";
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
         "f:12: the line is longer than 4096 bytes; reading stops here"},
        {"", "f:0: the file is empty"},
        {"\x7f" "ELF\x01\x02\n", "f:1: not a replay file"},
        {"margin-brawler-replay 2\n", "f:1: replay format 2; this game reads format 1"},
        {header.substr(0, 60), "f:4: the replay stops inside its header (truncated)"},
        {header + "3 k 358 1\n", "f:12: the replay stops before its end record (truncated)"},
        {header + "3 k 3x8 1\n", "f:12: \"3x8\" is not a number"},
        {header + "9 k 358 1\n3 k 358 0\n", "f:13: tick 3 comes after tick 9"},
        {header + "3 a 0 1 nan\n", "f:12: \"nan\" is not a number"},
        {header + "3 a 0 1 7\n", "f:12: axis position 7 is out of range"},
        {header + "50 digest game=zz\n", "f:12: damaged state digest"},
        {header + "end 99999999999 menu " + digest + "\n", "f:12: 99999999999 is out of range"},
        {"margin-brawler-replay 1\ndata ../../etc/passwd 0\n", "f:2: unexpected data file ../../etc/passwd"},
        {header.substr(0, header.find("data")) + "play\n",
         "f:10: the replay has no data digests; it cannot be checked against this data"},
        {"margin-brawler-replay 1\nlevel ../../../../etc/passwd\n",
         "f:2: the level ../../../../etc/passwd is not a file name under levels/"},
        {"margin-brawler-replay 1\nlevel /dev/stdin\n", "f:2: the level /dev/stdin is not a file name under levels/"},
        {header + "50 k 358 1\n50 digest " + digest + "\n",
         "f:13: the digest of tick 50 comes after a record of tick 50"},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        ReplayFile replay;
        std::string error;
        EXPECT_EQ(ReplayReader::read(in, "f", replay, error), c.message.empty()) << c.text;
        EXPECT_EQ(error, c.message) << c.text;
    }
    // A pipe is no replay: waiting for its writer would hold the game at start-up.
    const TempDataDir data;
    ASSERT_EQ(mkfifo("pipe.replay", 0600), 0);
    ReplayFile replay;
    std::string error;
    EXPECT_FALSE(ReplayReader::read("pipe.replay", replay, error));
    EXPECT_EQ(error, "pipe.replay: cannot be opened (not a regular file)");
}

}  // namespace
