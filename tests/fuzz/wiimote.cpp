#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>

#include "FuzzSupport.h"
#include "input/WiimoteManager.h"

// The input is a Wii Remote's stream of input reports, each a length byte and its bytes.
// The remote is found, connected and read on its own reader thread as in the game; after
// each report has been handled the game thread polls it for joystick 0's buttons.
namespace {

struct ReportQueue {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::string> pending;
    int reads = 0;
    int lastHandedOutBy = 0;

    void send(const std::string& report) {
        std::unique_lock<std::mutex> lock(mutex);
        pending.push_back(report);
        changed.notify_all();
        // Handled once the reader has taken it and come back for the next one.
        changed.wait(lock, [this] { return pending.empty() && reads > lastHandedOutBy; });
    }
};

class ScriptedRemote : public HIDDevice {
public:
    explicit ScriptedRemote(ReportQueue& queue) : queue(queue) {}
    int readReport(unsigned char* buffer, std::size_t capacity, int) override {
        std::unique_lock<std::mutex> lock(queue.mutex);
        ++queue.reads;
        queue.changed.notify_all();
        // A short wait instead of the device's time-out keeps closing the remote quick.
        queue.changed.wait_for(lock, std::chrono::milliseconds(1), [this] { return !queue.pending.empty(); });
        if (queue.pending.empty()) {
            return 0;
        }
        const std::size_t length = std::min(queue.pending.front().size(), capacity);
        std::memcpy(buffer, queue.pending.front().data(), length);
        queue.pending.pop_front();
        queue.lastHandedOutBy = queue.reads;
        return static_cast<int>(length);
    }
    bool writeReport(const unsigned char*, std::size_t) override { return true; }

private:
    ReportQueue& queue;
};

class OneRemoteBus : public HIDBus {
public:
    explicit OneRemoteBus(ReportQueue& queue) : queue(queue) {}
    std::vector<HIDDeviceInfo> enumerate(unsigned short vendorId, unsigned short productId) override {
        return {{"/dev/hidraw0", vendorId, productId}};
    }
    std::unique_ptr<HIDDevice> open(const std::string&) override { return std::make_unique<ScriptedRemote>(queue); }

private:
    ReportQueue& queue;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader input(data, size);
    ReportQueue queue;
    WiimoteManager remotes(std::make_unique<OneRemoteBus>(queue));
    remotes.findAndConnect();
    while (!input.empty()) {
        const std::string report = input.take(input.byte() % 32);
        if (!report.empty()) {
            queue.send(report);
        }
        remotes.poll();
    }
    return 0;
}
