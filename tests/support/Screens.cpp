#include "support/Screens.h"

#include <cstdlib>
#include <filesystem>

std::string screensDirectory() {
    const char* chosen = std::getenv("MB_SCREENS_DIR");
    const std::string folder = chosen != nullptr ? chosen : MB_TEST_SCREENS_DIR;
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}
