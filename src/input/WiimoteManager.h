#pragma once

// Finds Wii Remotes among the HID devices, connects the first one and turns its buttons
// and shake into joystick 0's button events.
class WiimoteManager {
public:
    WiimoteManager();
    ~WiimoteManager();
    WiimoteManager(const WiimoteManager&) = delete;
    WiimoteManager& operator=(const WiimoteManager&) = delete;

    // First tick: search, print how many were found, connect the first.
    void findAndConnect();
    bool hasRemotes() const { return false; }
    // Every tick while a remote is connected.
    void poll();
};
