#include "core/ConsoleProblems.h"

#include <iostream>

void ConsoleProblems::report(const DataProblem& problem) {
    switch (problem.console) {
    case DataProblem::Console::Out:
        std::cout << problem.consoleText << std::endl;
        break;
    case DataProblem::Console::Err:
        std::cerr << problem.consoleText << std::endl;
        break;
    case DataProblem::Console::Silent:
        break;
    }
}
