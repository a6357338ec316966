// The main of every test program: Google Test, with each test case starting on a fresh
// game, as if the program had just started. A program whose cases need nothing more
// runs them all in one process (see tests/CMakeLists.txt).
#include <gtest/gtest.h>

#include <memory>

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

}  // namespace

// The leak checker of the sanitizer builds asks here for its options: the drivers' own
// allocations that it may let be are listed in tests/lsan.supp. (In this file, which
// every test program links, rather than one the linker could leave out.)
extern "C" const char* __lsan_default_options() { return "suppressions=" MB_LSAN_SUPPRESSIONS; }

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Google Test owns its listeners.
    testing::UnitTest::GetInstance()->listeners().Append(std::make_unique<FreshGame>().release());
    return RUN_ALL_TESTS();
}
