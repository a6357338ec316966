#pragma once

#include <memory>
#include <string>
#include <vector>

#include "input/HIDDevice.h"

struct HIDDeviceInfo {
    std::string path;
    unsigned short vendorId = 0;
    unsigned short productId = 0;
};

// Where HID devices are found and opened. The game uses the system's devices; tests
// hand in devices of their own.
class HIDBus {
public:
    virtual ~HIDBus() = default;

    // Called once, at the search for remotes: the devices present with these ids.
    virtual std::vector<HIDDeviceInfo> enumerate(unsigned short vendorId, unsigned short productId) = 0;
    // Called for each device found; nullptr when it cannot be opened.
    virtual std::unique_ptr<HIDDevice> open(const std::string& path) = 0;
};
