#pragma once

#include <string>
#include <vector>

// Lines from standard input, read without blocking the server: from a person at a
// terminal or from a program writing into a pipe. The end of the input only stops the
// reading, never the server.
class ConsoleInput {
public:
    ConsoleInput();

    bool isOpen() const { return open; }
    bool isTerminal() const { return terminal; }
    // Reads what is waiting and answers the complete lines, newline removed.
    std::vector<std::string> readLines();

private:
    bool open = true;
    bool terminal;
    std::string pending;
};
