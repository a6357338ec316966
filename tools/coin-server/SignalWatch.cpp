#include "SignalWatch.h"

#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t setOf(std::initializer_list<int> signals) {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : signals) {
        sigaddset(&set, signal);
    }
    return set;
}

}  // namespace

SignalWatch::SignalWatch(std::initializer_list<int> signals) : blocked(setOf(signals)) {
    sigprocmask(SIG_BLOCK, &blocked, nullptr);
    descriptor = FileDescriptor(signalfd(-1, &blocked, SFD_NONBLOCK | SFD_CLOEXEC));
}

SignalWatch::~SignalWatch() { sigprocmask(SIG_UNBLOCK, &blocked, nullptr); }

int SignalWatch::next() const {
    signalfd_siginfo info{};
    if (read(descriptor.get(), &info, sizeof info) != static_cast<ssize_t>(sizeof info)) {
        return 0;
    }
    return static_cast<int>(info.ssi_signo);
}
