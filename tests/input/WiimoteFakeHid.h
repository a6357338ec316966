#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "input/HIDBus.h"

using Bytes = std::vector<unsigned char>;

// Both ends of a pretend remote: the test queues input reports and reads back what the
// driver wrote. Shared between the test and the device the driver owns.
class FakeHidChannel {
public:
    void send(const Bytes& report) {
        const std::lock_guard<std::mutex> lock(mutex);
        input.push_back(report);
        changed.notify_all();
    }
    // Waits until the reader has taken every queued report and come back for more, so
    // everything sent has been handled.
    bool settle() {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(3),
                                [this] { return input.empty() && readsStarted > lastTakenBy; });
    }
    std::vector<Bytes> written() {
        const std::lock_guard<std::mutex> lock(mutex);
        return output;
    }
    int reads() {
        const std::lock_guard<std::mutex> lock(mutex);
        return readsStarted;
    }
    void failWrites() { writesFail = true; }
    void failReads() {
        const std::lock_guard<std::mutex> lock(mutex);
        readsFail = true;
        changed.notify_all();
    }

    int read(unsigned char* buffer, std::size_t capacity, int timeoutMilliseconds) {
        std::unique_lock<std::mutex> lock(mutex);
        ++readsStarted;
        changed.notify_all();
        changed.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds),
                         [this] { return readsFail || !input.empty(); });
        if (readsFail) {
            return -1;
        }
        if (input.empty()) {
            return 0;
        }
        const Bytes report = input.front();
        input.pop_front();
        lastTakenBy = readsStarted;
        const std::size_t length = std::min(report.size(), capacity);
        std::copy_n(report.begin(), length, buffer);
        return static_cast<int>(length);
    }
    bool write(const unsigned char* report, std::size_t length) {
        const std::lock_guard<std::mutex> lock(mutex);
        if (writesFail) {
            return false;
        }
        output.emplace_back(report, report + length);
        return true;
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Bytes> input;
    std::vector<Bytes> output;
    int readsStarted = 0;
    int lastTakenBy = 0;
    bool writesFail = false;
    bool readsFail = false;
};

class FakeHidDevice : public HIDDevice {
public:
    explicit FakeHidDevice(std::shared_ptr<FakeHidChannel> channel) : channel(std::move(channel)) {}
    int readReport(unsigned char* buffer, std::size_t capacity, int timeoutMilliseconds) override {
        return channel->read(buffer, capacity, timeoutMilliseconds);
    }
    bool writeReport(const unsigned char* report, std::size_t length) override {
        return channel->write(report, length);
    }

private:
    std::shared_ptr<FakeHidChannel> channel;
};

// A list of remotes; those added as not opening are listed but cannot be opened.
class FakeHidBus : public HIDBus {
public:
    std::shared_ptr<FakeHidChannel> add(const std::string& path, bool opens = true) {
        auto channel = opens ? std::make_shared<FakeHidChannel>() : nullptr;
        devices.push_back({path, channel});
        return channel;
    }
    std::vector<HIDDeviceInfo> enumerate(unsigned short vendorId, unsigned short productId) override {
        std::vector<HIDDeviceInfo> found;
        for (const auto& device : devices) {
            found.push_back({device.first, vendorId, productId});
        }
        return found;
    }
    std::unique_ptr<HIDDevice> open(const std::string& path) override {
        for (const auto& [listed, channel] : devices) {
            if (listed == path && channel) {
                return std::make_unique<FakeHidDevice>(channel);
            }
        }
        return nullptr;
    }

private:
    std::vector<std::pair<std::string, std::shared_ptr<FakeHidChannel>>> devices;
};
