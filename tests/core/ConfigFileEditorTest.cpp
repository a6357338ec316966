#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/ConfigFileEditor.h"
#include "support/TempDataDir.h"

namespace {

namespace fs = std::filesystem;

std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A player's file as a person keeps it: comments, blanks, a key set twice, a float
// sharing an integer's name.
const char* const kPlayersFile =
    "# my settings\n"
    "\n"
    "int musicVolume 3          # quiet at night\n"
    "key player1Drop m\n"
    "float effectsVolume 0.5\n"
    "int effectsVolume 2\n"
    "int effectsVolume 4 # the one in force\n"
    "string dataDirectory /games/data  \n";

TEST(ConfigFileEditorTest, OnlyTheChangedKeysAreReplacedOrAdded) {
    TempDataDir dir;
    dir.write("config.dat", kPlayersFile);
    const std::string path = dir.path() + "/config.dat";
    ASSERT_EQ(ConfigFileEditor::apply(path, {"int musicVolume 7", "int player1Drop 13", "int effectsVolume 9",
                                             "key player2Left j", "int musicVolume 8"}),
              "");
    EXPECT_EQ(read(path),
              "# my settings\n"
              "\n"
              "int musicVolume 8          # quiet at night\n"
              "int player1Drop 13\n"
              "float effectsVolume 0.5\n"
              "int effectsVolume 2\n"
              "int effectsVolume 9 # the one in force\n"
              "string dataDirectory /games/data  \n"
              "key player2Left j\n");
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        EXPECT_EQ(entry.path().filename(), "config.dat") << "a temporary file was left behind";
    }

    // A file kept elsewhere behind a link is changed there; the link stays a link.
    dir.write("dotfiles/config.dat", "# kept in git\n");
    fs::create_directories(dir.path() + "/home/margin-brawler");
    fs::create_symlink(dir.path() + "/dotfiles/config.dat", dir.path() + "/home/margin-brawler/config.dat");
    ASSERT_EQ(ConfigFileEditor::apply(dir.path() + "/home/margin-brawler/config.dat", {"int fullscreen 1"}), "");
    EXPECT_TRUE(fs::is_symlink(dir.path() + "/home/margin-brawler/config.dat"));
    EXPECT_EQ(read(dir.path() + "/dotfiles/config.dat"), "# kept in git\nint fullscreen 1\n");

    // A player without a settings file gets one, folders and all.
    ASSERT_EQ(ConfigFileEditor::apply(dir.path() + "/new/margin-brawler/config.dat", {"int difficulty 1"}), "");
    EXPECT_EQ(read(dir.path() + "/new/margin-brawler/config.dat"), "int difficulty 1\n");
}

TEST(ConfigFileEditorTest, AFileThatCannotBeWrittenIsNamedAndLeftAsItWas) {
    TempDataDir dir;
    dir.write("blocker", "a file where the folder should be\n");
    const std::string underAFile = dir.path() + "/blocker/margin-brawler/config.dat";
    const std::string problem = ConfigFileEditor::apply(underAFile, {"int musicVolume 5"});
    EXPECT_EQ(problem.rfind("Could not save " + underAFile + ": ", 0), 0u) << problem;

    // A folder in the file's place: nothing is written over it.
    fs::create_directories(dir.path() + "/odd/config.dat");
    EXPECT_NE(ConfigFileEditor::apply(dir.path() + "/odd/config.dat", {"int musicVolume 5"}), "");
    EXPECT_TRUE(fs::is_directory(dir.path() + "/odd/config.dat"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() + "/odd"), fs::directory_iterator()), 1)
        << "a temporary file was left behind";
}

}  // namespace
