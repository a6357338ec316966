// Pads as SDL's virtual joysticks make them: found at start and when plugged in later,
// each driving its own player through the input seam, let go of when unplugged, taken
// back when plugged in again, read from the player's own mapping file, and replayed alike.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <AL/alut.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "characters/Player.h"
#include "core/Game.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "input/Gamepads.h"
#include "net/NetMessage.h"
#include "net/OnlineControls.h"
#include "replay/Recorder.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayReader.h"
#include "support/TempDataDir.h"
#include "ui/Menu.h"

namespace {

// A pad SDL makes up, with the usual layout (or, as `generic`, a plain joystick SDL
// knows no layout for) and a motor that counts its rumbles.
class VirtualPad {
public:
    explicit VirtualPad(const char* name, bool generic = false) {
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = generic ? SDL_JOYSTICK_TYPE_UNKNOWN : SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = name;
        desc.vendor_id = generic ? 0x1234 : 0;  // SDL finds a mapping by vendor and product
        desc.product_id = generic ? 0x5678 : 0;
        desc.userdata = this;
        desc.Rumble = [](void* pad, Uint16, Uint16) {
            ++static_cast<VirtualPad*>(pad)->rumbles;
            return 0;
        };
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        joystick = SDL_JoystickOpen(index);
        EXPECT_NE(joystick, nullptr) << SDL_GetError();
    }
    ~VirtualPad() { unplug(); }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    void press(int button, bool down = true) { SDL_JoystickSetVirtualButton(joystick, button, down ? 1 : 0); }
    void tilt(int axis, Sint16 value) { SDL_JoystickSetVirtualAxis(joystick, axis, value); }
    std::string guid() const {
        char text[33];
        SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(joystick), text, sizeof text);
        return text;
    }
    void unplug() {
        if (joystick == nullptr) return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
        SDL_JoystickClose(joystick);
        joystick = nullptr;
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == id) SDL_JoystickDetachVirtual(index);
        }
    }

    int rumbles = 0;

private:
    SDL_Joystick* joystick = nullptr;
};

class GamepadTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The player's own files (mappings, progress) come from here, not the real home.
        setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
        setenv("XDG_STATE_HOME", dir.path().c_str(), 1);
        Settings& settings = Settings::instance();
        settings.clear();
        settings.setFloat("moveSpeed", 0.5f);
        settings.setFloat("joystickDeadSpace", 0.25f);
        settings.setInt("rumble", 1);
    }
    Game& game() { return Game::instance(); }
    // One tick of the main loop: the pads first, then the game.
    void tick(Gamepads& pads, int count = 1) {
        for (int i = 0; i < count; ++i) {
            pads.poll();
            game().update(20);
        }
    }
    static bool punching(const Player& player) {
        return player.getFigureState() == FigureState::PunchStart || player.getFigureState() == FigureState::PunchFinish;
    }
    void tap(Gamepads& pads, VirtualPad& pad, int button) {
        pad.press(button);
        tick(pads);
        pad.press(button, false);
        tick(pads);
    }

    TempDataDir dir;
    // The test's own hold on SDL, so that a pad can be plugged in before the game looks.
    SdlControllerSystem sdl;
};

TEST_F(GamepadTest, PadsDriveTheirOwnPlayersAndLetGoWhenUnplugged) {
    ASSERT_TRUE(sdl.isReady());
    auto first = std::make_unique<VirtualPad>("First Pad");
    Gamepads pads("", {});
    game().startGame(true, true, "level1.dat");
    tick(pads);
    EXPECT_EQ(game().getPadNames(), std::vector<std::string>{"First Pad"});
    VirtualPad second("Second Pad");
    tick(pads);
    EXPECT_EQ(game().getPadNames(), (std::vector<std::string>{"First Pad", "Second Pad"}));
    Player& one = *game().getPlayer1();
    Player& two = *game().getPlayer2();

    // Player 1 walks right on the left stick, player 2 left on the d-pad, each at full speed.
    first->tilt(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    second.press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    Vec3 oneFrom = one.position;
    const Vec3 twoFrom = two.position;
    tick(pads, 4);
    EXPECT_NEAR(one.position.x - oneFrom.x, 4 * 0.5, 1e-9);
    EXPECT_NEAR(two.position.x - twoFrom.x, -4 * 0.5, 1e-9);
    EXPECT_EQ(one.position.z, oneFrom.z);

    // Unplugged mid-walk: player 1 stands still from the next tick; player 2 walks on.
    first->unplug();
    tick(pads);
    oneFrom = one.position;
    tick(pads, 5);
    EXPECT_EQ(one.position.x, oneFrom.x);
    EXPECT_FALSE(game().stickDirection(0, 1));
    EXPECT_NEAR(two.position.x - twoFrom.x, -10 * 0.5, 1e-9);
    EXPECT_EQ(game().getPadNames(), (std::vector<std::string>{"", "Second Pad"}));

    // Plugged in again, it takes the free slot and player 1 again; A punches, the d-pad walks.
    first = std::make_unique<VirtualPad>("First Pad");
    tick(pads);
    EXPECT_EQ(game().getPadNames(), (std::vector<std::string>{"First Pad", "Second Pad"}));
    first->press(SDL_CONTROLLER_BUTTON_A);
    tick(pads);
    EXPECT_TRUE(punching(one));
    EXPECT_FALSE(punching(two)) << "player 2's pad pressed nothing";
    first->press(SDL_CONTROLLER_BUTTON_A, false);
    first->press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    oneFrom = one.position;
    tick(pads, 10);
    EXPECT_LT(one.position.x, oneFrom.x);

    // A hurt player's own pad rumbles once, after the tick, and only while rumble is on.
    two.takeDamage(5.0f);
    tick(pads);
    EXPECT_EQ(second.rumbles, 1);
    EXPECT_EQ(first->rumbles, 0);
    Settings::instance().setInt("rumble", 0);
    one.takeDamage(5.0f);
    tick(pads, 2);
    EXPECT_EQ(first->rumbles, 0);
}

TEST_F(GamepadTest, APadPlayedGameThroughItsMenusReplaysAlike) {
    ASSERT_EQ(chdir(MB_DATA_DIR), 0);
    alutInitWithoutContext(nullptr, nullptr);
    Settings& settings = Settings::instance();
    settings.load("config.dat");
    settings.setInt("music", 0);
    const std::string path = std::filesystem::temp_directory_path() / ("pad-replay-" + std::to_string(getpid()));
    Recorder recorder(path, settings.toLines());
    InputSeam::instance().setListener(&recorder);

    VirtualPad pad("Pad");
    Gamepads pads("", {});
    game().showMainMenu();
    tick(pads);
    // The d-pad moves through the main menu, A chooses "1 Player".
    tap(pads, pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    ASSERT_EQ(game().getMenu()->selectedIndex(), 1u);
    tap(pads, pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
    tap(pads, pad, SDL_CONTROLLER_BUTTON_A);
    ASSERT_NE(game().getPlayer1(), nullptr);
    ASSERT_EQ(game().getPlayer2(), nullptr);
    tap(pads, pad, SDL_CONTROLLER_BUTTON_B);  // past the level's opening show, if any

    // A fight: walk right on the stick, punch now and then; Back pauses, Start resumes.
    pad.tilt(SDL_CONTROLLER_AXIS_LEFTX, 30000);
    for (int t = 0; t < 300; ++t) {
        if (t % 15 == 0) pad.press(SDL_CONTROLLER_BUTTON_A, t % 30 == 0);
        tick(pads);
    }
    EXPECT_GT(game().getPlayer1()->position.x, 10.0) << "the stick walked the player along the level";
    pad.tilt(SDL_CONTROLLER_AXIS_LEFTX, 0);
    tap(pads, pad, SDL_CONTROLLER_BUTTON_BACK);
    ASSERT_NE(game().getMenu(), nullptr);
    tap(pads, pad, SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(game().getMenu(), nullptr) << "Start chose Resume";
    tap(pads, pad, SDL_CONTROLLER_BUTTON_START);
    ASSERT_NE(game().getMenu(), nullptr) << "Start pauses play";
    // Down twice to the third entry, "Exit"; A leaves the game.
    tap(pads, pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    tap(pads, pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    tap(pads, pad, SDL_CONTROLLER_BUTTON_A);
    InputSeam::instance().setListener(nullptr);
    ASSERT_FALSE(InputSeam::instance().isPlaying()) << "the pause menu's exit ends the game";

    ReplayFile replay;
    std::string error;
    ASSERT_TRUE(ReplayReader::read(path, replay, error)) << error;
    int padEvents = 0;
    {
        ReplayReader records(replay);
        ReplayFile::Record record;
        while (records.next(record)) {
            const bool fromPad = record.kind == ReplayFile::Record::Kind::Input &&
                                 record.event.device == Gamepads::FirstJoystick;
            padEvents += fromPad ? 1 : 0;
        }
    }
    EXPECT_GT(padEvents, 20);
    EXPECT_LT(padEvents, 60) << "a held stick is recorded when it moves, not on every tick";

    ReplayPlayer player(replay, "pad", false);
    Game::resetInstance();
    player.begin();
    for (int t = 0; !player.isFinished() && t < 10000; ++t) game().update(20);
    EXPECT_TRUE(player.isFinished());
    EXPECT_EQ(player.differenceTick(), -1) << player.difference();
    EXPECT_GT(player.digestsCompared(), 5);
    std::filesystem::remove(path);
}

TEST_F(GamepadTest, UnusualPadsTakeThePlayersOwnMappingsAndABadLineCostsOneMessage) {
    VirtualPad odd("Odd Stick", true);
    ASSERT_FALSE(SDL_IsGameController(0)) << "SDL has no layout of its own for this one";
    dir.write("margin-brawler/gamecontrollerdb.txt",
              "# my pads\n"
              "not a mapping at all\n" +
                  odd.guid() + ",Odd Stick,a:b3,leftx:a0,lefty:a1,platform:Linux\r\n" +
                  odd.guid() + ",Odd Stick,a:b4,platform:Windows\n"
                               "xyz,\n");
    game().startGame(true, false, "level1.dat");
    testing::internal::CaptureStdout();
    Gamepads pads(Gamepads::userMappingFile(), {});
    tick(pads);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find(dir.path() + "/margin-brawler/gamecontrollerdb.txt:2: not a pad mapping ("), std::string::npos)
        << out;
    EXPECT_NE(out.find("; 1 more such lines; passed over.\nPad 1 connected: Odd Stick\n"), std::string::npos) << out;

    odd.press(3);
    tick(pads);
    EXPECT_TRUE(punching(*game().getPlayer1()));
}

TEST_F(GamepadTest, APadTheJoystickSettingsReadIsLeftToThem) {
    // A pad is one input device with two device files: the joystick one and the event one.
    dir.write("sys/devices/input7/name", "pad");
    dir.write("sys/devices/input8/name", "other");
    const std::filesystem::path sys = dir.path() + "/sys";
    for (const auto& [file, device] : {std::pair{"js0", "input7"}, {"event5", "input7"}, {"event6", "input8"}}) {
        std::filesystem::create_directories(sys / "class" / file);
        std::filesystem::create_directory_symlink(sys / "devices" / device, sys / "class" / file / "device");
    }
    const std::string classes = (sys / "class").string();
    EXPECT_TRUE(Gamepads::sameDevice("/dev/input/event5", "/dev/input/js0", classes));
    EXPECT_FALSE(Gamepads::sameDevice("/dev/input/event6", "/dev/input/js0", classes));
    EXPECT_FALSE(Gamepads::sameDevice("/dev/input/event9", "/dev/input/js9", classes));
    dir.write("js-link-target", "");
    std::filesystem::create_symlink(dir.path() + "/js-link-target", dir.path() + "/by-id-joystick");
    EXPECT_TRUE(Gamepads::sameDevice(dir.path() + "/by-id-joystick", dir.path() + "/js-link-target", classes));
}

TEST_F(GamepadTest, OnlineTheFirstPadPlaysAsThisMachinesPlayer) {
    Settings::instance().setInt("padPlayer1Drop", SDL_CONTROLLER_BUTTON_Y);
    const OnlineControls joiner(1);
    const int pad = Gamepads::FirstJoystick;
    EXPECT_EQ(joiner.button(pad, SDL_CONTROLLER_BUTTON_A, true), InputEvent::key(NetMessage::ControlKeyBase + 12, true));
    EXPECT_EQ(joiner.button(pad, SDL_CONTROLLER_BUTTON_Y, false), InputEvent::key(NetMessage::ControlKeyBase + 14, false));
    EXPECT_EQ(joiner.button(pad, SDL_CONTROLLER_BUTTON_BACK, true), InputEvent::key(27, true));
    EXPECT_EQ(joiner.button(pad, SDL_CONTROLLER_BUTTON_B, true), std::nullopt) << "B was rebound";
    EXPECT_EQ(joiner.button(pad + 1, SDL_CONTROLLER_BUTTON_A, true), std::nullopt) << "the second pad stays home";
    EXPECT_EQ(joiner.axis(pad, SDL_CONTROLLER_AXIS_LEFTY, -0.5), InputEvent::axis(NetMessage::SlotJoystickBase + 1, 1, -0.5));
}

}  // namespace
