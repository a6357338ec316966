#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "audio/SoundManager.h"
#include "characters/Enemy.h"
#include "characters/Player.h"
#include "core/Game.h"
#include "core/Settings.h"
#include "support/TempDataDir.h"
#include "ui/ControlsPage.h"
#include "ui/MainMenu.h"
#include "ui/OptionsMenu.h"

// The options and the controls page driven by keys and pad buttons through the Game, as
// a player drives them, with the player's own settings file in a temporary folder.
namespace {

constexpr int kLeft = 356;
constexpr int kUp = 357;
constexpr int kRight = 358;
constexpr int kDown = 359;
constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kF1 = 257;

// The bindings the game ships with, player 1 then player 2.
const char* const kBundled =
    "key player1Left left\nkey player1Right right\nkey player1Up up\nkey player1Down down\n"
    "key player1Attack .\nkey player1PickUp ,\nkey player1Drop m\nkey player1Start /\n"
    "key player2Left a\nkey player2Right d\nkey player2Up w\nkey player2Down s\n"
    "key player2Attack f\nkey player2PickUp g\nkey player2Drop q\nkey player2Start 1\nint music 1\n";

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("bundled.dat", kBundled);
        dir.write("home/config.dat", "# my own settings\nint musicVolume 4   # quiet\n");
        Settings& settings = Settings::instance();
        settings.clear();
        settings.load("bundled.dat");
        settings.load("home/config.dat");
        game().usePlayerFiles(dir.path() + "/bundled.dat", userFile, "");
    }

    Game& game() { return Game::instance(); }
    void press(int key) {
        game().keyboard(key, 0, true, 0);
        game().keyboard(key, 0, false, 0);
    }
    void pressTimes(int key, int times) {
        for (int i = 0; i < times; ++i) press(key);
    }
    std::string userSettings() const {
        std::ifstream in(userFile);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ControlsPage* controlsPage() { return dynamic_cast<ControlsPage*>(game().getMenu()); }

    TempDataDir dir;
    const std::string userFile = dir.path() + "/home/config.dat";
};

TEST_F(OptionsTest, TheControlsPageBindsKeysAndPadButtonsSwappingAKeyInUse) {
    game().showMainMenu();
    press(kF1);
    ASSERT_NE(controlsPage(), nullptr);
    pressTimes(kDown, 4);  // player 1's attack
    press(kEnter);
    EXPECT_EQ(controlsPage()->waitingControl(), 4);
    press(kEscape);
    EXPECT_EQ(controlsPage()->waitingControl(), -1) << "Escape only stops the waiting";
    ASSERT_NE(controlsPage(), nullptr);

    press(kEnter);
    press('D');  // with Shift: binds the letter, which player 2's right had
    EXPECT_EQ(Settings::instance().getInt("player1Attack"), 'd');
    EXPECT_EQ(Settings::instance().getInt("player2Right"), '.');
    press(kEnter);
    game().joystickButton(11, 3, true);  // Y on the second pad binds for the control asked
    game().joystickButton(11, 3, false);
    EXPECT_EQ(Settings::instance().getInt("padPlayer1Attack"), 3);
    press(kRight);
    press(kEnter);
    press(kEnter);  // Enter itself, which the settings file can only write as a number
    EXPECT_EQ(Settings::instance().getInt("player2Attack"), kEnter);
    EXPECT_EQ(userSettings(),
              "# my own settings\nint musicVolume 4   # quiet\n"
              "key player2Right .\nkey player1Attack d\nint padPlayer1Attack 3\nint player2Attack 13\n");

    // Back on the main menu, where it was; the new key acts at once.
    press(kEscape);
    ASSERT_NE(dynamic_cast<MainMenu*>(game().getMenu()), nullptr);
    EXPECT_EQ(game().getMenu()->selectedIndex(), 0u);
    game().startGame(true, false, "level1.dat");
    game().keyboard('d', 0, true, 0);
    EXPECT_TRUE(game().isControlHeld(4));
    game().keyboard('d', 0, false, 0);

    // "Defaults" brings back what the game ships with.
    press(kEscape);
    press(kF1);
    pressTimes(kUp, 2);
    press(kEnter);
    EXPECT_EQ(Settings::instance().getInt("player1Attack"), '.');
    EXPECT_EQ(Settings::instance().getInt("player2Right"), 'd');
    EXPECT_EQ(Settings::instance().getInt("padPlayer1Attack"), 0);
    EXPECT_EQ(userSettings(),
              "# my own settings\nint musicVolume 4   # quiet\n"
              "key player2Right d\nkey player1Attack .\nint padPlayer1Attack 0\nkey player2Attack f\n");
}

TEST_F(OptionsTest, OptionsChangeAtOnceAndSaveOnlyWhatChanged) {
    game().showMainMenu();
    pressTimes(kDown, 3);
    press(kEnter);  // Options, above Quit
    Menu* options = game().getMenu();
    ASSERT_NE(dynamic_cast<OptionsMenu*>(options), nullptr);
    EXPECT_EQ(options->itemCount(), 7u);
    EXPECT_EQ(SoundManager::instance().getMusicVolume(), 4);
    press(kRight);  // music volume
    press(kDown);
    pressTimes(kLeft, 3);  // effects volume
    pressTimes(kDown, 3);
    press(kRight);  // difficulty
    EXPECT_EQ(SoundManager::instance().getMusicVolume(), 5);
    EXPECT_EQ(SoundManager::instance().getEffectsVolume(), 7);
    EXPECT_EQ(Settings::instance().getInt("difficulty"), 1);
    EXPECT_EQ(userSettings(), "# my own settings\nint musicVolume 5   # quiet\nint effectsVolume 7\nint difficulty 1\n");
    press(kEscape);
    ASSERT_NE(dynamic_cast<MainMenu*>(game().getMenu()), nullptr);
    EXPECT_EQ(game().getMenu()->selectedIndex(), 3u) << "back where the options were chosen";
    EXPECT_EQ(game().getBackgroundTexture(), "mainmenu_bk");

    // Online, only what stays on this machine, and only this machine's player changes it.
    game().openSubmenu(std::make_unique<OptionsMenu>(true), OptionsMenu::Background);
    EXPECT_EQ(game().getMenu()->itemCount(), 5u);
    press(kRight);
    EXPECT_EQ(SoundManager::instance().getMusicVolume(), 5) << "a press not from this machine's player";

    // A settings file that cannot be written is said on screen and on standard output;
    // the change stays in force.
    dir.write("blocker", "a file where the folder should be");
    const std::string unwritable = dir.path() + "/blocker/config.dat";
    game().usePlayerFiles("", unwritable, "");
    press(kEscape);
    press(kEnter);
    press(kDown);
    testing::internal::CaptureStdout();
    press(kLeft);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(said.rfind("Could not save " + unwritable + ": ", 0), 0u) << said;
    // The screen shows the line, shortened to what fits there.
    const std::string note = game().getMenuNote();
    EXPECT_EQ(said.rfind(note.substr(0, note.size() - 3), 0), 0u) << note;
    EXPECT_EQ(SoundManager::instance().getEffectsVolume(), 6);
}

TEST_F(OptionsTest, DifficultyScalesTheDamagePlayersTakeAndTheHealthEnemiesStartWith) {
    const auto damageAndHealth = [this](int difficulty) {
        Settings::instance().setInt("difficulty", difficulty);
        game().startGame(true, false, "level1.dat");
        Player* player = game().getPlayer1();
        player->takeDamage(10.0f);
        const Enemy enemy(2);
        return std::make_pair(player->getMaxHealth() - player->getHealth(), enemy.getHealth());
    };
    EXPECT_EQ(damageAndHealth(0), std::make_pair(10.0f, 100.0f));
    EXPECT_EQ(damageAndHealth(-1), std::make_pair(5.0f, 75.0f));
    EXPECT_EQ(damageAndHealth(1), std::make_pair(15.0f, 150.0f));
    EXPECT_EQ(damageAndHealth(7), std::make_pair(15.0f, 150.0f)) << "past Hard counts as Hard";
}

TEST_F(OptionsTest, ANewInstallationShowsTheControlsBeforeItsFirstGameOnly) {
    const std::string state = dir.path() + "/state";
    game().usePlayerFiles("", userFile, state);
    game().showMainMenu();
    press(kEnter);  // 1 Player
    ASSERT_NE(controlsPage(), nullptr);
    EXPECT_EQ(game().getPlayer1(), nullptr);
    press(kEscape);
    EXPECT_EQ(game().getMenu(), nullptr);
    EXPECT_NE(game().getPlayer1(), nullptr);

    Game::resetInstance();
    game().usePlayerFiles("", userFile, state);
    game().showMainMenu();
    press(kEnter);
    EXPECT_EQ(game().getMenu(), nullptr) << "the page was shown once";
    EXPECT_TRUE(std::filesystem::exists(state + "/controls-shown"));
}

}  // namespace
