#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "input/HIDBus.h"

using Bytes = std::vector<unsigned char>;

// Both ends of a pretend remote: the test queues input reports and reads back what the
// driver wrote through the FakeHidDevice it owns. A read failure shows within one read.
struct FakeHidChannel {
    void send(const Bytes& report) {
        const std::lock_guard<std::mutex> lock(mutex);
        input.push_back(report);
        changed.notify_all();
    }
    // Waits until the reader has taken every queued report and come back for more, so
    // everything sent has been handled.
    bool settle() {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(3), [this] { return input.empty() && reads > lastTakenBy; });
    }
    std::vector<Bytes> written() {
        const std::lock_guard<std::mutex> lock(mutex);
        return output;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Bytes> input;
    std::vector<Bytes> output;
    std::atomic<int> reads{0};
    int lastTakenBy = 0;
    std::atomic<bool> readsFail{false};
    std::atomic<bool> writesFail{false};
};

class FakeHidDevice : public HIDDevice {
public:
    explicit FakeHidDevice(std::shared_ptr<FakeHidChannel> channel) : channel(std::move(channel)) {}
    int readReport(unsigned char* buffer, std::size_t capacity, int timeoutMilliseconds) override {
        FakeHidChannel& c = *channel;
        std::unique_lock<std::mutex> lock(c.mutex);
        ++c.reads;
        c.changed.notify_all();
        c.changed.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds),
                           [&c] { return c.readsFail || !c.input.empty(); });
        if (c.readsFail || c.input.empty()) {
            return c.readsFail ? -1 : 0;
        }
        const std::size_t length = std::min(c.input.front().size(), capacity);
        std::copy_n(c.input.front().begin(), length, buffer);
        c.input.pop_front();
        c.lastTakenBy = c.reads;
        return static_cast<int>(length);
    }
    bool writeReport(const unsigned char* report, std::size_t length) override {
        const std::lock_guard<std::mutex> lock(channel->mutex);
        if (!channel->writesFail) {
            channel->output.emplace_back(report, report + length);
        }
        return !channel->writesFail;
    }

private:
    std::shared_ptr<FakeHidChannel> channel;
};

class FakeHidBus : public HIDBus {
public:
    std::shared_ptr<FakeHidChannel> add(const std::string& path) {
        devices.emplace_back(path, std::make_shared<FakeHidChannel>());
        return devices.back().second;
    }
    std::vector<HIDDeviceInfo> enumerate(unsigned short vendorId, unsigned short productId) override {
        std::vector<HIDDeviceInfo> found;
        for (const auto& device : devices) {
            found.push_back({device.first, vendorId, productId});
        }
        return found;
    }
    std::unique_ptr<HIDDevice> open(const std::string& path) override {
        const auto listed = std::find_if(devices.begin(), devices.end(), [&](const auto& d) { return d.first == path; });
        return listed == devices.end() ? nullptr : std::make_unique<FakeHidDevice>(listed->second);
    }

private:
    std::vector<std::pair<std::string, std::shared_ptr<FakeHidChannel>>> devices;
};
