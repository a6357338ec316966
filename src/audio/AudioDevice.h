#pragma once

#include <AL/alc.h>

#include <memory>

// The default OpenAL output device with one context made current for the whole run.
// A device that cannot be opened, or that refuses a context, says so on standard
// output and leaves isOpen() false; the game then runs silently.
class AudioDevice {
public:
    AudioDevice();

    bool isOpen() const { return context != nullptr; }

private:
    struct DeviceCloser {
        void operator()(ALCdevice* device) const;
    };
    struct ContextDestroyer {
        void operator()(ALCcontext* context) const;
    };

    // Declared in this order so the context goes before the device it lives on.
    std::unique_ptr<ALCdevice, DeviceCloser> device;
    std::unique_ptr<ALCcontext, ContextDestroyer> context;
};
