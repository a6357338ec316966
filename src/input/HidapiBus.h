#pragma once

#include "input/HIDBus.h"

// The system's HID devices, through hidapi's hidraw backend.
class HidapiBus : public HIDBus {
public:
    std::vector<HIDDeviceInfo> enumerate(unsigned short vendorId, unsigned short productId) override;
    std::unique_ptr<HIDDevice> open(const std::string& path) override;
};
