#include "input/Gamepads.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <utility>

#include "core/ConfigLocations.h"
#include "core/ConsoleProblems.h"
#include "core/Game.h"
#include "core/InputSeam.h"
#include "core/Settings.h"
#include "core/SettingsCache.h"
#include "input/PadMappings.h"

namespace {

namespace fs = std::filesystem;

bool rumbleOn() {
    static SettingsCache<bool> on([] { return Settings::instance().getInt("rumble") != 0; });
    return on.get();
}

// A short knock rather than a buzz: felt, but over before the next blow can land.
constexpr Uint32 kRumbleMilliseconds = 150;
constexpr Uint16 kRumbleLow = 0x6000;
constexpr Uint16 kRumbleHigh = 0xC000;

// A stick moves the game only past the dead zone, so finer steps change nothing but the
// replay's size: a resting stick's jitter would otherwise add lines every tick.
constexpr double kStickStep = 1.0 / 64.0;

constexpr SDL_GameControllerAxis kStickAxes[2] = {SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_AXIS_LEFTY};

// The Wii Remote the game's own driver reads.
constexpr Uint16 kNintendoVendor = 0x057E;
constexpr Uint16 kWiiRemoteProduct = 0x0306;

double stickPosition(Sint16 raw) { return std::max(-1.0, raw / 32767.0); }

// The device file's own name after links (by-id names lead to js0 or eventN).
std::string kernelName(const std::string& file) {
    std::error_code error;
    const fs::path resolved = fs::canonical(file, error);
    return (error ? fs::path(file) : resolved).filename().string();
}

}  // namespace

Gamepads::Gamepads(const std::string& mappingFile, Claimed claimedDevices) : claimed(std::move(claimedDevices)) {
    if (!sdl.isReady()) {
        return;
    }
    ConsoleProblems console;
    PadMappings::load(mappingFile, console);
    // SDL announced the pads present at start before the player's mappings were in, so
    // a pad only those mappings make known is taken in here. The announcements still
    // to come find the others open already.
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_IsGameController(index)) {
            connect(index);
        }
    }
}

Gamepads::~Gamepads() {
    // The handles close before the subsystem they belong to goes down.
    slots.clear();
}

std::string Gamepads::userMappingFile() {
    const std::string folder = ConfigLocations::userFolderForThisProcess();
    return folder.empty() ? "" : folder + "/gamecontrollerdb.txt";
}

bool Gamepads::sameDevice(const std::string& first, const std::string& second, const std::string& sysfsInput) {
    std::error_code error;
    if (fs::equivalent(first, second, error)) {
        return true;
    }
    const auto inputDevice = [&](const std::string& file) {
        std::error_code ignored;
        return fs::canonical(fs::path(sysfsInput) / kernelName(file) / "device", ignored);
    };
    const fs::path one = inputDevice(first);
    return !one.empty() && one == inputDevice(second);
}

void Gamepads::poll() {
    if (!sdl.isReady()) {
        return;
    }
    rumble();
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
            case SDL_CONTROLLERDEVICEADDED: connect(event.cdevice.which); break;
            case SDL_CONTROLLERDEVICEREMOVED: disconnect(event.cdevice.which); break;
            case SDL_CONTROLLERBUTTONDOWN:
            case SDL_CONTROLLERBUTTONUP:
                button(event.cbutton.which, event.cbutton.button, event.cbutton.state == SDL_PRESSED);
                break;
            default: break;
        }
    }
    deliverSticks();
}

std::vector<std::string> Gamepads::names() const {
    std::vector<std::string> list;
    for (const std::unique_ptr<Pad>& pad : slots) {
        list.push_back(pad ? pad->name : "");
    }
    while (!list.empty() && list.back().empty()) {
        list.pop_back();
    }
    return list;
}

void Gamepads::connect(int deviceIndex) {
    if (isClaimed(deviceIndex)) {
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
        if (std::find(passedOver.begin(), passedOver.end(), id) == passedOver.end()) {
            passedOver.push_back(id);
            const char* name = SDL_GameControllerNameForIndex(deviceIndex);
            std::cout << "Pad " << (name != nullptr ? name : "") << " is read through the joystick settings instead.\n";
        }
        return;
    }
    ControllerHandle controller(SDL_GameControllerOpen(deviceIndex));
    if (!controller) {
        std::cout << "A pad could not be opened: " << SDL_GetError() << "\n";
        return;
    }
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller.get()));
    // Opening a pad twice only counts it twice in SDL; the handle above lets go again.
    if (slotOf(id) >= 0) {
        return;
    }
    auto pad = std::make_unique<Pad>();
    pad->id = id;
    const char* name = SDL_GameControllerName(controller.get());
    pad->name = name != nullptr && *name != '\0' ? name : "Unnamed pad";
    pad->controller = std::move(controller);
    const auto free = std::find(slots.begin(), slots.end(), nullptr);
    const std::size_t slot = static_cast<std::size_t>(free - slots.begin());
    if (free == slots.end()) {
        slots.push_back(nullptr);
    }
    std::cout << "Pad " << slot + 1 << " connected: " << pad->name << "\n";
    slots[slot] = std::move(pad);
    publishNames();
}

void Gamepads::disconnect(SDL_JoystickID id) {
    const int slot = slotOf(id);
    if (slot < 0) {
        return;
    }
    Pad& pad = *slots[slot];
    InputSeam& seam = InputSeam::instance();
    const int joystick = FirstJoystick + slot;
    if (slot < PadLayout::PlayerSlots) {
        for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) {
            if (pad.held[b]) {
                seam.joystickButton(joystick, b, false);
            }
        }
        for (int axis = 0; axis < 2; ++axis) {
            if (pad.stick[axis] != 0.0) {
                seam.joystickAxis(joystick, kStickAxes[axis], 0.0);
            }
        }
    }
    std::cout << "Pad " << slot + 1 << " disconnected: " << pad.name << "\n";
    slots[slot].reset();
    publishNames();
}

void Gamepads::button(SDL_JoystickID id, int button, bool down) {
    const int slot = slotOf(id);
    // Pads past the players' slots are named, but drive nobody.
    if (slot < 0 || slot >= PadLayout::PlayerSlots || button < 0 || button >= SDL_CONTROLLER_BUTTON_MAX) {
        return;
    }
    bool& held = slots[slot]->held[button];
    if (held == down) {
        return;
    }
    held = down;
    InputSeam::instance().joystickButton(FirstJoystick + slot, button, down);
}

void Gamepads::deliverSticks() {
    const int players = std::min(static_cast<int>(slots.size()), PadLayout::PlayerSlots);
    for (int slot = 0; slot < players; ++slot) {
        if (!slots[slot]) {
            continue;
        }
        Pad& pad = *slots[slot];
        for (int axis = 0; axis < 2; ++axis) {
            const double now = stickPosition(SDL_GameControllerGetAxis(pad.controller.get(), kStickAxes[axis]));
            double& last = pad.stick[axis];
            const bool moved = std::fabs(now - last) >= kStickStep;
            // Rest and the ends are delivered exactly, however small the step to them.
            const bool settled = now != last && (now == 0.0 || std::fabs(now) == 1.0);
            if (moved || settled) {
                last = now;
                InputSeam::instance().joystickAxis(FirstJoystick + slot, kStickAxes[axis], now);
            }
        }
    }
}

void Gamepads::rumble() {
    const std::vector<int> hurt = Game::instance().takeRumbleRequests();
    if (!rumbleOn()) {
        return;
    }
    for (const int slot : hurt) {
        if (slot >= 0 && slot < static_cast<int>(slots.size()) && slots[slot]) {
            // A pad without a motor answers an error, which changes nothing here.
            SDL_GameControllerRumble(slots[slot]->controller.get(), kRumbleLow, kRumbleHigh, kRumbleMilliseconds);
        }
    }
}

bool Gamepads::isClaimed(int deviceIndex) const {
    if (claimed.wiiRemote && SDL_JoystickGetDeviceVendor(deviceIndex) == kNintendoVendor &&
        SDL_JoystickGetDeviceProduct(deviceIndex) == kWiiRemoteProduct) {
        return true;
    }
    const char* path = SDL_JoystickPathForIndex(deviceIndex);
    if (path == nullptr) {
        return false;
    }
    return std::any_of(claimed.joystickDevices.begin(), claimed.joystickDevices.end(),
                       [&](const std::string& device) { return sameDevice(path, device); });
}

int Gamepads::slotOf(SDL_JoystickID id) const {
    for (std::size_t slot = 0; slot < slots.size(); ++slot) {
        if (slots[slot] && slots[slot]->id == id) {
            return static_cast<int>(slot);
        }
    }
    return -1;
}

void Gamepads::publishNames() const { Game::instance().setPadNames(names()); }
