#pragma once

#include <array>
#include <memory>
#include <vector>

#include "input/HIDBus.h"
#include "input/Wiimote.h"

// Finds Wii Remotes among the HID devices, connects the first one and turns its buttons
// and shake into joystick 0's button events.
class WiimoteManager {
public:
    WiimoteManager();
    explicit WiimoteManager(std::unique_ptr<HIDBus> bus);
    ~WiimoteManager();
    WiimoteManager(const WiimoteManager&) = delete;
    WiimoteManager& operator=(const WiimoteManager&) = delete;

    // First tick: search, print how many were found, connect the first.
    void findAndConnect();
    bool hasRemotes() const { return !remotes.empty(); }
    // Every tick while a remote is connected.
    void poll();

    const std::vector<std::unique_ptr<wiim::Wiimote>>& getRemotes() const { return remotes; }

private:
    static constexpr int ButtonSlots = 16;

    std::vector<std::unique_ptr<wiim::Wiimote>> findWiimotes();
    void connect();
    void dropRemotes();

    std::unique_ptr<HIDBus> bus;
    std::vector<std::unique_ptr<wiim::Wiimote>> remotes;
    // What joystick 0 last told the game, so a press or release is reported once.
    std::array<bool, ButtonSlots> previous{};
    bool shaking = false;
};
