#pragma once

#include "input/FileDescriptor.h"

#include <sys/types.h>

#include <cstddef>
#include <string>

// One run of a helper program whose standard output the game reads through a pipe
// that never makes it wait. The program starts with standard input on /dev/null, its
// standard error shared with the game, none of the game's other descriptors (sockets,
// devices, the X connection) and default signal handling. posix_spawn starts it, which
// is safe in a process with other threads running (OpenAL's mixer, the Wii Remote
// reader). Dropping the handle kills the program and reaps it, so it never outlives its
// handle as a zombie; a copy of the game made by fork leaves its parent's helper alone.
class DecoderProcess {
public:
    // What readAvailable answers when the program has written nothing new yet.
    static constexpr long NothingYet = -1;

    DecoderProcess(const std::string& program, const std::string& argument);
    ~DecoderProcess();
    DecoderProcess(const DecoderProcess&) = delete;
    DecoderProcess& operator=(const DecoderProcess&) = delete;

    bool started() const { return output.valid(); }
    // Why the program could not be started (the system's words).
    const std::string& startFailure() const { return failure; }

    // Up to size bytes of what the pipe holds now: their count, NothingYet, or 0 once
    // the program has closed its end (exited, crashed or was killed).
    long readAvailable(char* into, std::size_t size);
    // Kills the program and reaps it now.
    void stop();

private:
    FileDescriptor output;
    pid_t pid = -1;
    pid_t owner = -1;
    std::string failure;
};
