#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "input/HIDDevice.h"

struct hid_device_;

// A hidraw device opened twice through hidapi, once for the reader thread and once for
// writing: hidapi keeps a per-handle error text that a read and a write on the same
// handle would both rewrite, so each thread gets its own handle.
class HidapiDevice : public HIDDevice {
public:
    explicit HidapiDevice(const std::string& path);

    // False when either handle could not be opened (no permission, device gone).
    bool isOpen() const { return reader && writer; }

    int readReport(unsigned char* buffer, std::size_t capacity, int timeoutMilliseconds) override;
    bool writeReport(const unsigned char* report, std::size_t length) override;

private:
    struct Closer {
        void operator()(hid_device_* device) const;
    };

    std::unique_ptr<hid_device_, Closer> reader;
    std::unique_ptr<hid_device_, Closer> writer;
    std::mutex writing;
};
