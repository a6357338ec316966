#include "input/Joystick.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <new>

#include "input/JoystickCalibration.h"
#include "input/JoystickState.h"

namespace {

constexpr std::size_t kRecordSize = sizeof(js_event);
constexpr std::size_t kRecordsPerRead = 64;
// Bounds the work of one update against a stream that never runs dry; whatever is
// left waits for the next update.
constexpr int kReadsPerUpdate = 16;
// The joystick interface counts axes and buttons in a byte.
constexpr int kMaxCount = 255;

bool makeNonBlocking(int descriptor) {
    const int flags = ::fcntl(descriptor, F_GETFL);
    return flags >= 0 && ::fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) == 0;
}

}  // namespace

Joystick::Joystick(const std::string& deviceName, const std::string& calibrationPath) {
    int axes = 0;
    int buttons = 0;
    OpenResult result = openDevice(deviceName, axes, buttons);
    if (result == OpenResult::Success) {
        result = attach(axes, buttons, deviceName, calibrationPath);
    }
    finishOpening(result, deviceName);
}

Joystick::Joystick(FileDescriptor events, int axes, int buttons, const std::string& deviceName,
                   const std::string& calibrationPath)
    : device(std::move(events)) {
    // Updates run inside the tick, so they must never wait for a stream with nothing in it.
    const bool usable = device.valid() && makeNonBlocking(device.get());
    finishOpening(usable ? attach(axes, buttons, deviceName, calibrationPath) : OpenResult::NoAccess, deviceName);
}

Joystick::~Joystick() = default;

Joystick::OpenResult Joystick::openDevice(const std::string& deviceName, int& axes, int& buttons) {
    device = FileDescriptor(::open(deviceName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!device.valid()) {
        switch (errno) {
        case ENOMEM:
            return OpenResult::NoMemory;
        case EINTR:
        case EIO:
            return OpenResult::Failed;
        default:
            return OpenResult::NoAccess;
        }
    }
    std::uint8_t axisBytes = 0;
    std::uint8_t buttonBytes = 0;
    if (::ioctl(device.get(), JSIOCGAXES, &axisBytes) < 0 || ::ioctl(device.get(), JSIOCGBUTTONS, &buttonBytes) < 0) {
        return errno == ENOMEM ? OpenResult::NoMemory : OpenResult::InvalidValue;
    }
    axes = axisBytes;
    buttons = buttonBytes;
    return OpenResult::Success;
}

Joystick::OpenResult Joystick::attach(int axes, int buttons, const std::string& deviceName,
                                      const std::string& calibrationPath) {
    axes = std::clamp(axes, 0, kMaxCount);
    buttons = std::clamp(buttons, 0, kMaxCount);
    try {
        // A calibration file that cannot be read is no reason to lose the joystick:
        // its axes just keep the raw range.
        JoystickCalibration file;
        if (!calibrationPath.empty()) {
            file.load(calibrationPath);
        }
        calibration.clear();
        for (int axis = 0; axis < axes; ++axis) {
            calibration.push_back(file.axis(deviceName, axis));
        }
        state = std::make_unique<JoystickState>(axes, buttons);
        events.reserve(kRecordsPerRead * kReadsPerUpdate + kMaxCount);
    } catch (const std::bad_alloc&) {
        return OpenResult::NoMemory;
    }
    return OpenResult::Success;
}

void Joystick::finishOpening(OpenResult result, const std::string& deviceName) {
    if (result == OpenResult::Success) {
        opened = true;
        return;
    }
    switch (result) {
    case OpenResult::InvalidValue:
        std::cout << "Invalid value encountered while initializing joystick " << deviceName << ".\n";
        break;
    case OpenResult::NoAccess:
        std::cout << "Cannot access resources while initializing joystick " << deviceName << ".\n";
        break;
    case OpenResult::NoMemory:
        std::cout << "Insufficient memory to initialize joystick " << deviceName << ".\n";
        break;
    default:
        std::cout << "Error trying to initialize joystick " << deviceName << ".\n";
        break;
    }
    device.reset();
    state.reset();
    calibration.clear();
    events.clear();
}

void Joystick::update() {
    if (!opened) {
        return;
    }
    events.clear();
    if (device.valid()) {
        readEvents();
    }
    state->update(events.data(), events.size());
}

void Joystick::readEvents() {
    std::array<unsigned char, kRecordsPerRead * kRecordSize> bytes;
    for (int attempt = 0; attempt < kReadsPerUpdate; ++attempt) {
        std::memcpy(bytes.data(), partial.data(), partialSize);
        const ssize_t got = ::read(device.get(), bytes.data() + partialSize, bytes.size() - partialSize);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        }
        if (got <= 0) {
            letGo();
            break;
        }
        const std::size_t total = partialSize + static_cast<std::size_t>(got);
        const std::size_t whole = total / kRecordSize;
        for (std::size_t i = 0; i < whole; ++i) {
            js_event event;
            std::memcpy(&event, bytes.data() + i * kRecordSize, kRecordSize);
            events.push_back(event);
        }
        partialSize = total - whole * kRecordSize;
        std::memcpy(partial.data(), bytes.data() + whole * kRecordSize, partialSize);
    }
}

// A device that went away (unplugged, or the stream ended) lets go of everything, so a
// player is not left walking on a button or a stick nobody can release any more: its
// buttons are released on this update and its axes read rest from now on.
void Joystick::letGo() {
    device.reset();
    partialSize = 0;
    for (int button = 0; button < state->buttonCount(); ++button) {
        events.push_back(js_event{0, 0, JS_EVENT_BUTTON, static_cast<std::uint8_t>(button)});
    }
}

int Joystick::buttonCount() const { return opened ? state->buttonCount() : 0; }

int Joystick::axisCount() const { return opened ? state->axisCount() : 0; }

bool Joystick::wasPressed(int button) const { return opened && state->wasPressed(button); }

bool Joystick::wasReleased(int button) const { return opened && state->wasReleased(button); }

float Joystick::axis(int index) const {
    if (!opened || !device.valid() || index < 0 || index >= state->axisCount()) {
        return 0.0f;
    }
    return static_cast<float>(calibration[static_cast<std::size_t>(index)].coefficient(state->rawAxis(index)));
}
