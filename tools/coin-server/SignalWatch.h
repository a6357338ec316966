#pragma once

#include <signal.h>

#include <initializer_list>

#include "FileDescriptor.h"

// Turns signals into readable events on a descriptor (signalfd), so the server's one
// poll loop handles them between datagrams instead of inside a handler. The signals
// are blocked for the process while the watch lives.
class SignalWatch {
public:
    explicit SignalWatch(std::initializer_list<int> signals);
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

    int handle() const { return descriptor.get(); }
    // The next pending signal, or 0 when none is waiting.
    int next() const;

private:
    sigset_t blocked;
    FileDescriptor descriptor;
};
