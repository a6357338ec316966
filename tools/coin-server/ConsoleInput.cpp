#include "ConsoleInput.h"

#include <unistd.h>

#include <cerrno>

ConsoleInput::ConsoleInput() : terminal(isatty(STDIN_FILENO) != 0) {
    // Started in the background of an interactive shell, reading the terminal would stop
    // the whole server (SIGTTIN); such a server takes its coins from signals only.
    if (terminal && tcgetpgrp(STDIN_FILENO) != getpgrp()) {
        open = false;
    }
}

std::vector<std::string> ConsoleInput::readLines() {
    std::vector<std::string> lines;
    char buffer[256];
    const ssize_t size = read(STDIN_FILENO, buffer, sizeof buffer);
    if (size < 0 && (errno == EINTR || errno == EAGAIN)) {
        return lines;
    }
    if (size <= 0) {
        open = false;
        if (!pending.empty()) {
            lines.push_back(pending);
        }
        pending.clear();
        return lines;
    }
    pending.append(buffer, static_cast<size_t>(size));
    std::string::size_type newline;
    while ((newline = pending.find('\n')) != std::string::npos) {
        lines.push_back(pending.substr(0, newline));
        pending.erase(0, newline + 1);
    }
    // A line longer than anyone types is junk; do not let it grow without bound.
    if (pending.size() > 4096) {
        pending.clear();
    }
    return lines;
}
