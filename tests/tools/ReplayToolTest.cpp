// The replay tool started without --data from where people start it: the source tree,
// a data folder, anywhere on a machine where the game is installed, and a folder with
// none of these near it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/TempDataDir.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    std::string output;
    int status = -1;
};

ToolRun replayTool(const std::string& folder, const std::string& tool, const std::string& replay) {
    ToolRun run;
    FILE* pipe = popen(("cd '" + folder + "' && '" + tool + "' '" + replay + "' 2>&1").c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

TEST(ReplayToolTest, WithoutDataNamedItTakesTheCurrentFolderThenItsDataFolderThenTheInstalledData) {
    TempDataDir dir;
    const std::string data = fs::canonical(MB_DATA_DIR).string();
    const std::string usingData = "replay: using the data in ";

    fs::create_directory("source");
    fs::create_directory_symlink(data, "source/data");
    const ToolRun fromSource = replayTool("source", MB_REPLAY_TOOL, MB_REPLAYS_DIR "/weapons.replay");
    EXPECT_EQ(fromSource.status, 0) << fromSource.output;
    EXPECT_EQ(firstLine(fromSource.output), usingData + data);
    EXPECT_NE(fromSource.output.find(", matches ("), std::string::npos) << fromSource.output;

    // The rest only need to say where they look: a replay that is not there is enough.
    EXPECT_EQ(firstLine(replayTool("source/data", MB_REPLAY_TOOL, "none.replay").output), usingData + data);

    fs::create_directories("usr/bin");
    fs::create_directories("usr/share");
    fs::create_directory("anywhere");
    fs::copy_file(MB_REPLAY_TOOL, "usr/bin/replay");
    fs::create_directory_symlink(data, "usr/share/margin-brawler");
    EXPECT_EQ(firstLine(replayTool("anywhere", dir.path() + "/usr/bin/replay", "none.replay").output),
              usingData + data);

    fs::remove("usr/share/margin-brawler");
    const ToolRun lost = replayTool("anywhere", dir.path() + "/usr/bin/replay", "none.replay");
    EXPECT_EQ(lost.status, 2);
    EXPECT_EQ(lost.output, "replay: no game data in this folder, in ./data or in " + fs::canonical(dir.path()).string() +
                               "/usr/share/margin-brawler; name it with --data DIR\n");
}

}  // namespace
