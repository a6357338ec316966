#include "core/TextTokens.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

bool onlyOf(const std::string& text, const char* allowed) {
    return !text.empty() && text.find_first_not_of(allowed) == std::string::npos;
}

}  // namespace

bool TextTokens::next(std::string& out) {
    for (;;) {
        while (position < currentLine.size() && isSpace(currentLine[position])) {
            ++position;
        }
        if (position < currentLine.size()) {
            break;
        }
        if (!file.readLine(currentLine)) {
            out.clear();
            return false;
        }
        position = 0;
    }
    const std::size_t start = position;
    while (position < currentLine.size() && !isSpace(currentLine[position])) {
        ++position;
    }
    out = currentLine.substr(start, position - start);
    tokenLine = file.lineNumber();
    return true;
}

bool TextTokens::nextInt(int32_t& value) {
    std::string text;
    return next(text) && toInt(text, value);
}

bool TextTokens::toInt(const std::string& text, int32_t& value) {
    if (!onlyOf(text, "0123456789+-")) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || parsed < std::numeric_limits<int32_t>::min() ||
        parsed > std::numeric_limits<int32_t>::max()) {
        return false;
    }
    value = static_cast<int32_t>(parsed);
    return true;
}

bool TextTokens::toFloat(const std::string& text, float& value) {
    if (!onlyOf(text, "0123456789+-.eE")) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const float parsed = std::strtof(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(parsed) || (errno == ERANGE && parsed != 0.0f)) {
        return false;
    }
    value = parsed;
    return true;
}
