#include <gtest/gtest.h>

#include "core/ConfigLocations.h"
#include "core/Settings.h"
#include "support/TempDataDir.h"

// An installation under <dir>/usr, the player's settings under <dir>/home, and the game
// started in <dir>/start.
class ConfigLocationsTest : public ::testing::Test {
protected:
    void SetUp() override { Settings::instance().clear(); }
    ConfigLocations locations() const {
        return ConfigLocations(dir.path() + "/start", dir.path() + "/usr/bin/margin-brawler", dir.path() + "/home");
    }
    TempDataDir dir;
};

TEST_F(ConfigLocationsTest, TheInstalledFileStandsInForAMissingOneAndThePlayersComesLast) {
    EXPECT_EQ(locations().announcement(), "No settings file found; every setting starts at 0.");
    dir.write("usr/share/margin-brawler/config.dat", "int width 800\nint height 600\nstring dataDirectory .\n");
    dir.write("start/readme.txt", "not settings\n");
    Settings& settings = Settings::instance();
    EXPECT_EQ(locations().load(settings), dir.path() + "/usr/share/margin-brawler/.");

    dir.write("home/margin-brawler/config.dat", "int width 1024\n");
    settings.clear();
    EXPECT_EQ(locations().load(settings), dir.path() + "/usr/share/margin-brawler/.")
        << "a file that names no data directory keeps the earlier one";
    EXPECT_EQ(settings.getInt("width"), 1024);
    EXPECT_EQ(settings.getInt("height"), 600);

    dir.write("start/config.dat", "string dataDirectory data\nint height 480\n");
    dir.write("home/margin-brawler/config.dat", "string dataDirectory mine\n");
    settings.clear();
    EXPECT_EQ(locations().existingFiles(), (std::vector<std::string>{dir.path() + "/start/config.dat",
                                                                      dir.path() + "/home/margin-brawler/config.dat"}));
    EXPECT_EQ(locations().load(settings), dir.path() + "/home/margin-brawler/mine");
    EXPECT_EQ(locations().announcement(), "Settings read from " + dir.path() + "/start/config.dat and " + dir.path() +
                                              "/home/margin-brawler/config.dat.");
    EXPECT_EQ(settings.getInt("width"), 0) << "the installed file is not read beside the starting directory's";

    dir.write("home/margin-brawler/config.dat", "int width 1024\n");
    settings.clear();
    EXPECT_EQ(locations().load(settings), "data") << "the starting directory's own rule is unchanged";
}
