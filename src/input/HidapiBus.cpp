#include "input/HidapiBus.h"

#include <hidapi/hidapi.h>

#include "input/HidapiDevice.h"

std::vector<HIDDeviceInfo> HidapiBus::enumerate(unsigned short vendorId, unsigned short productId) {
    const std::unique_ptr<hid_device_info, decltype(&hid_free_enumeration)> list(
        hid_enumerate(vendorId, productId), &hid_free_enumeration);
    std::vector<HIDDeviceInfo> found;
    for (const hid_device_info* entry = list.get(); entry != nullptr; entry = entry->next) {
        if (entry->path != nullptr) {
            found.push_back({entry->path, entry->vendor_id, entry->product_id});
        }
    }
    return found;
}

std::unique_ptr<HIDDevice> HidapiBus::open(const std::string& path) {
    auto device = std::make_unique<HidapiDevice>(path);
    if (!device->isOpen()) {
        return nullptr;
    }
    return device;
}
