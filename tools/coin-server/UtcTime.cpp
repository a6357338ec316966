#include "UtcTime.h"

#include <ctime>

std::string utcTime(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[64];
    return std::strftime(text, sizeof text, format, &utc) > 0 ? text : "";
}
