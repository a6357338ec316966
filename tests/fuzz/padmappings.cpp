#include "FuzzSupport.h"
#include "core/ProblemSink.h"
#include "input/PadMappings.h"
#include "input/SdlControllerSystem.h"

namespace {

class Discard : public ProblemSink {
public:
    void report(const DataProblem&) override {}
};

}  // namespace

// A player's mapping file of any content is read without harm. SDL keeps every mapping
// it took until its controller subsystem goes down, so each input gets a fresh one.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeFile("gamecontrollerdb.txt", data, size);
    const SdlControllerSystem sdl;
    Discard problems;
    PadMappings::load("gamecontrollerdb.txt", problems);
    return 0;
}
