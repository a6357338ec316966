#include "input/Wiimote.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <stdexcept>

namespace wiim {

namespace {

struct ButtonDefinition {
    const char* name;
    unsigned mask;
};

// In the order the button reactions report them.
const ButtonDefinition kButtons[Wiimote::ButtonCount] = {
    {"1", 0x0002},  {"2", 0x0001},    {"A", 0x0008},   {"B", 0x0004}, {"+", 0x1000},    {"-", 0x0010},
    {"Home", 0x0080}, {"Up", 0x0800}, {"Down", 0x0400}, {"Right", 0x0200}, {"Left", 0x0100},
};

constexpr unsigned char kButtonsReport = 0x30;
constexpr unsigned char kButtonsAccelerationReport = 0x31;
constexpr unsigned char kMemoryReply = 0x21;

constexpr unsigned char kLedsReport = 0x11;
constexpr unsigned char kReportingModeReport = 0x12;
constexpr unsigned char kRumbleReport = 0x13;
constexpr unsigned char kMemoryReadReport = 0x17;

// Shortest report of each kind that holds every byte read from it; shorter ones are
// damaged and dropped rather than read as zeros, which would look like a violent shake.
constexpr std::size_t kButtonsLength = 3;
constexpr std::size_t kButtonsAccelerationLength = 6;
constexpr std::size_t kMemoryReplyLength = 13;

constexpr int kReadTimeoutMilliseconds = 300;
constexpr std::size_t kReadBufferSize = 256;

const char* const kWriteFailed = "Couldn't write to the device.";
const char* const kReadFailed = "Couldn't read from the device.";

std::int8_t shifted(unsigned char byte) {
    return static_cast<std::int8_t>(static_cast<unsigned char>(byte + 128));
}

void storeAxes(std::array<std::atomic<std::int8_t>, 3>& axes, const unsigned char* bytes) {
    for (std::size_t i = 0; i < axes.size(); ++i) {
        axes[i] = shifted(bytes[i]);
    }
}

unsigned buttonWord(const unsigned char* report) { return (static_cast<unsigned>(report[1]) << 8) | report[2]; }

Wiimote::Acceleration loadAxes(const std::array<std::atomic<std::int8_t>, 3>& axes) {
    return {axes[0].load(), axes[1].load(), axes[2].load()};
}

}  // namespace

Wiimote::Wiimote(int remoteNumber, const std::string& devicePath, std::unique_ptr<HIDDevice> hidDevice)
    : number(remoteNumber), path(devicePath), device(std::move(hidDevice)) {}

Wiimote::~Wiimote() { stopReader(); }

void Wiimote::writeReport(std::initializer_list<unsigned char> report) {
    if (!device || !device->writeReport(report.begin(), report.size())) {
        throw std::runtime_error(kWriteFailed);
    }
}

void Wiimote::setLEDs(bool led1, bool led2, bool led3, bool led4) {
    const unsigned leds = (led1 ? 0x10 : 0) | (led2 ? 0x20 : 0) | (led3 ? 0x40 : 0) | (led4 ? 0x80 : 0);
    writeReport({kLedsReport, static_cast<unsigned char>(leds)});
}

void Wiimote::setRumble(bool on) { writeReport({kRumbleReport, static_cast<unsigned char>(on ? 0x01 : 0x00)}); }

void Wiimote::configure() {
    writeReport({kMemoryReadReport, 0x00, 0x00, 0x00, 0x16, 0x00, 0x0F});
    writeReport({kReportingModeReport, 0x00, kButtonsAccelerationReport});
}

void Wiimote::startListening() {
    std::printf("Started listening: %i\n", number);
    setLEDs(false, false, false, false);
    if (reader.joinable()) {
        return;
    }
    listening = true;
    std::promise<int> started;
    std::future<int> threadId = started.get_future();
    reader = std::thread([this, started = std::move(started)]() mutable {
        started.set_value(static_cast<int>(gettid()));
        listen();
    });
    std::printf("Created thread: %i\n", threadId.get());
}

void Wiimote::stopListening() {
    std::printf("Stopped listening: %i\n", number);
    stopReader();
}

void Wiimote::stopReader() {
    listening = false;
    if (reader.joinable()) {
        reader.join();
    }
}

void Wiimote::close() {
    if (listening) {
        stopListening();
    }
    device.reset();
}

WiimoteButton Wiimote::record(std::size_t index) const {
    return {kButtons[index].name, kButtons[index].mask, held[index].load()};
}

WiimoteButton Wiimote::button(const std::string& name) const {
    for (std::size_t i = 0; i < ButtonCount; ++i) {
        if (name == kButtons[i].name) {
            return record(i);
        }
    }
    throw std::out_of_range("No Wiimote button named " + name + ".");
}

Wiimote::Acceleration Wiimote::acceleration() const { return loadAxes(accel); }
Wiimote::Acceleration Wiimote::calibrationZero() const { return loadAxes(zeroG); }
Wiimote::Acceleration Wiimote::calibrationOneG() const { return loadAxes(oneG); }

void Wiimote::rethrowReadError() const {
    if (readFailed) {
        throw std::runtime_error(kReadFailed);
    }
}

bool Wiimote::anyHeld() const {
    for (const std::atomic<bool>& flag : held) {
        if (flag) {
            return true;
        }
    }
    return false;
}

void Wiimote::listen() {
    std::array<unsigned char, kReadBufferSize> buffer;
    while (listening) {
        buffer.fill(0);
        if (!device) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kReadTimeoutMilliseconds));
            continue;
        }
        const int length = device->readReport(buffer.data(), buffer.size(), kReadTimeoutMilliseconds);
        if (length < 0) {
            // A failed device keeps failing at once; stop here rather than spin, and let
            // the game thread find out at its next poll.
            readFailed = true;
            return;
        }
        if (length == 0) {
            continue;
        }
        // Nothing thrown by a reaction may leave the thread: that would end the process.
        try {
            handleReport(buffer.data(), std::min(static_cast<std::size_t>(length), buffer.size()));
        } catch (...) {
        }
    }
}

void Wiimote::handleReport(const unsigned char* report, std::size_t length) {
    switch (report[0]) {
    case kButtonsReport:
        if (length >= kButtonsLength) {
            reportButtons(buttonWord(report));
        }
        break;
    case kButtonsAccelerationReport:
        if (length >= kButtonsAccelerationLength) {
            std::array<bool, ButtonCount> reported{};
            storeButtons(buttonWord(report), reported);
            storeAxes(accel, report + 3);
            motion(acceleration());
        }
        break;
    case kMemoryReply:
        if (length >= kMemoryReplyLength) {
            storeAxes(zeroG, report + 6);
            storeAxes(oneG, report + 10);
        }
        break;
    default:
        break;
    }
}

void Wiimote::storeButtons(unsigned word, std::array<bool, ButtonCount>& reported) {
    for (std::size_t i = 0; i < ButtonCount; ++i) {
        const bool now = (word & kButtons[i].mask) != 0;
        reported[i] = now || held[i];
        held[i] = now;
    }
}

void Wiimote::reportButtons(unsigned word) {
    std::array<bool, ButtonCount> reported{};
    storeButtons(word, reported);
    for (std::size_t i = 0; i < ButtonCount; ++i) {
        if (!reported[i]) {
            continue;
        }
        const WiimoteButton changed = record(i);
        if (changed.held) {
            buttonPressed(changed);
        } else {
            buttonReleased(changed);
        }
    }
}

// The reactions run on the reader thread, where a failed write has nobody to tell: the
// remote's lights and rumble are a courtesy, so a write that fails is dropped.
void Wiimote::buttonPressed(const WiimoteButton& pressed) {
    std::printf("Button pressed: %s\n", pressed.name.c_str());
    try {
        setLEDs(true, false, true, false);
        setRumble(true);
    } catch (const std::runtime_error&) {
    }
}

void Wiimote::buttonReleased(const WiimoteButton& released) {
    std::printf("Button released: %s\n", released.name.c_str());
    try {
        setLEDs(false, false, false, false);
        if (!anyHeld()) {
            setRumble(false);
        }
    } catch (const std::runtime_error&) {
    }
}

void Wiimote::motion(const Acceleration&) {}

}  // namespace wiim
