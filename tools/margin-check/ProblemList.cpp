#include "ProblemList.h"

#include <algorithm>

ProblemList::ProblemList(const std::string& dataDirectory)
    : prefix(dataDirectory == "." ? std::string() : dataDirectory + "/") {}

void ProblemList::report(const DataProblem& problem) { add(problem.file, problem.line, problem.message); }

void ProblemList::add(const std::string& file, int line, const std::string& message) {
    std::string text = prefix + file + ":";
    if (line > 0) {
        text += std::to_string(line) + ":";
    }
    text += " " + message;
    // The same fault reached twice (a picture two cutscenes share) is told once.
    const bool known = std::any_of(problems.begin(), problems.end(), [&](const Entry& e) { return e.text == text; });
    if (!known) {
        problems.push_back({file, line, text});
    }
}

void ProblemList::print(std::ostream& out) const {
    std::vector<Entry> sorted = problems;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Entry& a, const Entry& b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    for (const Entry& problem : sorted) {
        out << problem.text << "\n";
    }
}
