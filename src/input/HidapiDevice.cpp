#include "input/HidapiDevice.h"

#include <hidapi/hidapi.h>

void HidapiDevice::Closer::operator()(hid_device_* device) const { hid_close(device); }

HidapiDevice::HidapiDevice(const std::string& path)
    : reader(hid_open_path(path.c_str())), writer(hid_open_path(path.c_str())) {}

int HidapiDevice::readReport(unsigned char* buffer, std::size_t capacity, int timeoutMilliseconds) {
    if (!reader) {
        return -1;
    }
    return hid_read_timeout(reader.get(), buffer, capacity, timeoutMilliseconds);
}

bool HidapiDevice::writeReport(const unsigned char* report, std::size_t length) {
    const std::lock_guard<std::mutex> lock(writing);
    return writer && hid_write(writer.get(), report, length) == static_cast<int>(length);
}
