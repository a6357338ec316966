#pragma once

#include <string>
#include <utility>

// One fault found while reading a data file. The same report serves two readers: a
// content author (file, line and message, as margin-check prints them) and a player
// (the game's own console line, which many faults do not have: the game quietly makes
// do with what it could read).
struct DataProblem {
    enum class Console { Silent, Out, Err };

    DataProblem(std::string file, int line, std::string message, Console console = Console::Silent,
                std::string consoleText = {})
        : file(std::move(file)), line(line), message(std::move(message)), console(console),
          consoleText(std::move(consoleText)) {}

    std::string file;
    int line;  // 1-based; 0 when the problem concerns the file as a whole
    std::string message;
    Console console;
    std::string consoleText;  // the game's line, without its end
};

// Where the data file readers send their faults: the game prints them as it always did
// (ConsoleProblems); margin-check collects them for the author.
class ProblemSink {
public:
    virtual ~ProblemSink() = default;
    // Called for every fault, in the order the reader meets them.
    virtual void report(const DataProblem& problem) = 0;
};
