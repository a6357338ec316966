#include "input/WiimoteManager.h"

#include <cmath>
#include <exception>
#include <iostream>
#include <set>
#include <string>

#include "core/InputSeam.h"
#include "input/HidapiBus.h"

namespace {

constexpr unsigned short kNintendoVendorId = 0x057E;
constexpr unsigned short kWiiRemoteProductId = 0x0306;

constexpr int kJoystick = 0;
constexpr int kShakeButton = 1;
constexpr double kShakeThreshold = 2.0;

// The remote's buttons in the order of a joystick's button numbers; null slots are
// buttons the remote does not have.
const char* const kSlotButtons[] = {"2",     "A",     "1",    "B",    "+",    "-",     "Home", nullptr,
                                    nullptr, nullptr, nullptr, nullptr, "Right", "Down", "Left", "Up"};

double shakeMagnitude(const wiim::Wiimote::Acceleration& acceleration) {
    double sum = 0.0;
    for (const std::int8_t axis : acceleration) {
        const double offset = static_cast<double>(axis) - 128.0;
        sum += offset * offset;
    }
    return std::sqrt(sum) / 128.0;
}

}  // namespace

WiimoteManager::WiimoteManager() : WiimoteManager(std::make_unique<HidapiBus>()) {}

WiimoteManager::WiimoteManager(std::unique_ptr<HIDBus> hidBus) : bus(std::move(hidBus)) {}

WiimoteManager::~WiimoteManager() = default;

std::vector<std::unique_ptr<wiim::Wiimote>> WiimoteManager::findWiimotes() {
    std::vector<std::unique_ptr<wiim::Wiimote>> found;
    // A device can be listed once per top-level collection; it is still one remote.
    std::set<std::string> seen;
    for (const HIDDeviceInfo& info : bus->enumerate(kNintendoVendorId, kWiiRemoteProductId)) {
        if (!seen.insert(info.path).second) {
            continue;
        }
        const int number = static_cast<int>(found.size()) + 1;
        found.push_back(std::make_unique<wiim::Wiimote>(number, info.path, bus->open(info.path)));
    }
    return found;
}

void WiimoteManager::findAndConnect() {
    remotes = findWiimotes();
    std::cout << "Wiimotes = " << remotes.size() << "\n";
    if (!remotes.empty()) {
        connect();
    }
}

void WiimoteManager::connect() {
    wiim::Wiimote& remote = *remotes.front();
    try {
        remote.setLEDs(true, false, false, false);
        remote.startListening();
        remote.configure();
    } catch (const std::exception& error) {
        std::cout << "Couldn't connect to Wiimote: " << error.what() << "\n";
    }
}

void WiimoteManager::poll() {
    if (remotes.empty()) {
        return;
    }
    InputSeam& seam = InputSeam::instance();
    try {
        const wiim::Wiimote& remote = *remotes.front();
        remote.rethrowReadError();
        std::array<bool, ButtonSlots> state{};
        for (int slot = 0; slot < ButtonSlots; ++slot) {
            if (kSlotButtons[slot] != nullptr) {
                state[slot] = remote.button(kSlotButtons[slot]).held;
            }
        }
        for (int slot = 0; slot < ButtonSlots; ++slot) {
            if (state[slot] != previous[slot]) {
                seam.joystickButton(kJoystick, slot, state[slot]);
            }
            previous[slot] = state[slot];
        }
        shaking = shakeMagnitude(remote.acceleration()) > kShakeThreshold;
        seam.joystickButton(kJoystick, kShakeButton, shaking);
    } catch (const std::exception& error) {
        std::cerr << "Error accessing Wiimote: " << error.what() << "\n";
        dropRemotes();
    }
}

void WiimoteManager::dropRemotes() {
    for (const std::unique_ptr<wiim::Wiimote>& remote : remotes) {
        remote->close();
    }
    remotes.clear();
    // Whatever the remote held would otherwise stay held for the rest of the run: a player
    // holding Up when the batteries die would walk into the screen for ever.
    previous[kShakeButton] = previous[kShakeButton] || shaking;
    shaking = false;
    for (int slot = 0; slot < ButtonSlots; ++slot) {
        if (previous[slot]) {
            previous[slot] = false;
            InputSeam::instance().joystickButton(kJoystick, slot, false);
        }
    }
}
