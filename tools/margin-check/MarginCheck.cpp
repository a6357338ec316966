// margin-check DATA_DIR
//
// Loads every data file the game would load from DATA_DIR, through the game's own
// readers, and prints each fault as "file:line: message". Exits 1 when it found any,
// 0 with a one-line summary when the data is clean, 2 when it cannot start.

#include <unistd.h>

#include <iostream>
#include <string>

#include "DataChecker.h"
#include "ProblemList.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: margin-check DATA_DIR" << std::endl;
        return 2;
    }
    const std::string directory = argv[1];
    if (chdir(directory.c_str()) != 0) {
        std::cerr << "margin-check: cannot enter " << directory << std::endl;
        return 2;
    }
    ProblemList problems(directory);
    DataChecker checker(problems);
    checker.run();
    problems.print(std::cout);
    if (problems.size() > 0) {
        std::cout << "margin-check: " << problems.size() << (problems.size() == 1 ? " problem" : " problems")
                  << " in " << directory << std::endl;
        return 1;
    }
    std::cout << "margin-check: " << directory << " is clean (" << checker.summary() << ")" << std::endl;
    return 0;
}
