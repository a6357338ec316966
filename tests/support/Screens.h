#pragma once

#include <string>

// Where GL tests keep screenshots for a person to look at: $MB_SCREENS_DIR when set,
// else the build's screens/ folder. The folder exists.
std::string screensDirectory();
