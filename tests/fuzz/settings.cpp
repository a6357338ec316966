#include "FuzzSupport.h"
#include "core/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeFile("config.dat", data, size);
    Settings& settings = Settings::instance();
    settings.clear();
    settings.load("config.dat");
    return 0;
}
