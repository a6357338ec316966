#include "audio/DecoderProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace {

// Room for a whole music queue (four 64 KiB buffers) decoded ahead; the kernel keeps
// its default when it refuses.
constexpr int kPipeBytes = 256 * 1024;

class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions; }

private:
    posix_spawn_file_actions_t actions{};
};

class SpawnAttributes {
public:
    SpawnAttributes() { posix_spawnattr_init(&attributes); }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attributes); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    posix_spawnattr_t* get() { return &attributes; }

private:
    posix_spawnattr_t attributes{};
};

}  // namespace

DecoderProcess::DecoderProcess(const std::string& program, const std::string& argument) : owner(getpid()) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        failure = std::strerror(errno);
        return;
    }
    FileDescriptor readEnd(ends[0]);
    const FileDescriptor writeEnd(ends[1]);

    SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(actions.get(), writeEnd.get(), STDOUT_FILENO);
    posix_spawn_file_actions_addclosefrom_np(actions.get(), STDERR_FILENO + 1);
    SpawnAttributes attributes;
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(attributes.get(), &none);
    posix_spawnattr_setsigdefault(attributes.get(), &all);
    posix_spawnattr_setflags(attributes.get(), POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::string programArgument = program;
    std::string fileArgument = argument;
    char* const argv[] = {programArgument.data(), fileArgument.data(), nullptr};
    const int error = posix_spawn(&pid, program.c_str(), actions.get(), attributes.get(), argv, environ);
    if (error != 0) {
        pid = -1;
        failure = std::strerror(error);
        return;
    }
    fcntl(readEnd.get(), F_SETFL, O_NONBLOCK);
    fcntl(readEnd.get(), F_SETPIPE_SZ, kPipeBytes);
    output = std::move(readEnd);
}

DecoderProcess::~DecoderProcess() { stop(); }

long DecoderProcess::readAvailable(char* into, std::size_t size) {
    if (!output.valid()) {
        return 0;
    }
    for (;;) {
        const ssize_t got = ::read(output.get(), into, size);
        if (got >= 0) {
            return static_cast<long>(got);
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return NothingYet;
        }
        if (errno != EINTR) {
            return 0;
        }
    }
}

void DecoderProcess::stop() {
    output.reset();
    if (pid > 0 && getpid() == owner) {
        kill(pid, SIGKILL);
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    pid = -1;
}
