#pragma once

#include "core/ProblemSink.h"

// The game's sink: prints each fault's console line on its stream (flushed, so the
// line is out before anything that follows) and keeps quiet about the rest.
class ConsoleProblems : public ProblemSink {
public:
    void report(const DataProblem& problem) override;
};
