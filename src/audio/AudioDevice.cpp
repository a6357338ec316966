#include "audio/AudioDevice.h"

#include <iostream>

void AudioDevice::DeviceCloser::operator()(ALCdevice* device) const {
    alcCloseDevice(device);
}

void AudioDevice::ContextDestroyer::operator()(ALCcontext* context) const {
    if (alcGetCurrentContext() == context) {
        alcMakeContextCurrent(nullptr);
    }
    alcDestroyContext(context);
}

AudioDevice::AudioDevice() : device(alcOpenDevice(nullptr)) {
    if (!device) {
        std::cout << "Couldn't open audio device.\n";
        return;
    }
    context.reset(alcCreateContext(device.get(), nullptr));
    if (!context || alcMakeContextCurrent(context.get()) != ALC_TRUE) {
        context.reset();
        device.reset();
        std::cout << "Couldn't create audio context.\n";
    }
}
