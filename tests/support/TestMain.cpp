// The main of every test program: Google Test, with each test case starting on a fresh
// game, as if the program had just started. A program whose cases need nothing more
// runs them all in one process (see tests/CMakeLists.txt).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <unistd.h>

#include "characters/AnimationLibrary.h"
#include "core/Game.h"
#include "core/InputSeam.h"
#include "core/Settings.h"

namespace {

class FreshGame : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override { startAfresh(); }
    void OnTestEnd(const testing::TestInfo&) override { startAfresh(); }

private:
    // What one case leaves behind: its game and match, what listens at the input seam,
    // the animations of its data folder and its settings.
    static void startAfresh() {
        InputSeam& seam = InputSeam::instance();
        seam.setListener(nullptr);
        seam.setReplacement(nullptr);
        seam.playEnding();
        Game::resetInstance();
        AnimationLibrary::instance().clear();
        Settings::instance().clear();
    }
};

// The game's Quit ends the process with status 0. A case that reaches it by mistake
// would otherwise pass, and every case after it in the same process would never run.
// A death test's child (a fork, so another process) may end as it likes.
bool casesAllRan = false;
pid_t testProgram = 0;

void refuseAnEarlyEnd() {
    if (casesAllRan || getpid() != testProgram) {
        return;
    }
    const testing::TestInfo* running = testing::UnitTest::GetInstance()->current_test_info();
    std::fprintf(stderr, "The test program ended before all its cases ran%s%s%s.\n", running ? " (in " : "",
                 running ? running->test_suite_name() : "", running ? ")" : "");
    std::fflush(stderr);
    std::_Exit(1);
}

}  // namespace

// The leak checker of the sanitizer builds asks here for its options: the drivers' own
// allocations that it may let be are listed in tests/lsan.supp. (In this file, which
// every test program links, rather than one the linker could leave out.)
extern "C" const char* __lsan_default_options() { return "suppressions=" MB_LSAN_SUPPRESSIONS; }

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Google Test owns its listeners.
    testing::UnitTest::GetInstance()->listeners().Append(std::make_unique<FreshGame>().release());
    testProgram = getpid();
    std::atexit(refuseAnEarlyEnd);
    const int failed = RUN_ALL_TESTS();
    casesAllRan = true;
    return failed;
}
