#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/ProblemSink.h"

// Collects every fault the readers and the checker find, for the author: printed as
// "file:line: message" (or "file: message" for a file as a whole), paths under the
// data directory that was checked.
class ProblemList : public ProblemSink {
public:
    // `dataDirectory` prefixes every path; "." prints them as they are.
    explicit ProblemList(const std::string& dataDirectory);

    void report(const DataProblem& problem) override;
    // A fault found by the checker rather than by a reader.
    void add(const std::string& file, int line, const std::string& message);

    // Grouped by file, in line order within each.
    void print(std::ostream& out) const;
    std::size_t size() const { return problems.size(); }

private:
    std::string prefix;
    struct Entry {
        std::string file;
        int line;
        std::string text;
    };
    std::vector<Entry> problems;
};
