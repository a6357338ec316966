#pragma once

#include <SDL_gamecontroller.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "input/PadLayout.h"
#include "input/SdlControllerSystem.h"

// Game controllers through SDL, found by themselves: a pad present at start or plugged
// in later takes the lowest free slot (slot 0 drives player 1, slot 1 player 2) and
// keeps it until it is unplugged. Polled once per tick, a pad in a player's slot reaches
// the Game only through the input seam, as joystick FirstJoystick + slot: every button
// change as an edge, the left stick's axes when they move. Unplugging first releases
// everything the pad held, so no player walks on by itself.
class Gamepads {
public:
    static constexpr int FirstJoystick = PadLayout::FirstJoystick;

    // Devices the older input paths read already; a pad that is one of them is theirs.
    struct Claimed {
        std::vector<std::string> joystickDevices;  // opened joystick device files
        bool wiiRemote = false;                    // the Wii Remote driver has a remote
    };

    // Starts SDL's controller support and reads the player's own mappings from
    // `mappingFile` (see PadMappings).
    Gamepads(const std::string& mappingFile, Claimed claimed);
    ~Gamepads();
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;

    // Once per tick, before the Game's update: rumbles what the last tick asked for,
    // takes in pads that came and went, and delivers the pads' changes.
    void poll();

    // The names of the pads in slot order ("" for a free slot before a used one).
    std::vector<std::string> names() const;

    // $XDG_CONFIG_HOME/margin-brawler/gamecontrollerdb.txt (default ~/.config/...).
    static std::string userMappingFile();
    // Whether two device files are one device: the same file, or two the kernel lists
    // under one input device in `sysfsInput` (a pad's /dev/input/js0 and its eventN).
    static bool sameDevice(const std::string& first, const std::string& second,
                           const std::string& sysfsInput = "/sys/class/input");

private:
    struct CloseController {
        void operator()(SDL_GameController* controller) const { SDL_GameControllerClose(controller); }
    };
    using ControllerHandle = std::unique_ptr<SDL_GameController, CloseController>;

    struct Pad {
        ControllerHandle controller;
        SDL_JoystickID id = -1;
        std::string name;
        std::array<bool, SDL_CONTROLLER_BUTTON_MAX> held{};
        std::array<double, 2> stick{};  // left x and y as last delivered
    };

    void connect(int deviceIndex);
    void disconnect(SDL_JoystickID id);
    void button(SDL_JoystickID id, int button, bool down);
    void deliverSticks();
    void rumble();
    bool isClaimed(int deviceIndex) const;
    int slotOf(SDL_JoystickID id) const;
    void publishNames() const;

    SdlControllerSystem sdl;
    Claimed claimed;
    std::vector<std::unique_ptr<Pad>> slots;  // null: a free slot
    std::vector<SDL_JoystickID> passedOver;   // claimed pads, each named once
};
