#pragma once

#include <string>

// The current time in UTC, written with a strftime format.
std::string utcTime(const char* format);
