#pragma once

#include <cstdint>
#include <string>

#include "core/TextFile.h"

// Whitespace-separated tokens of a TextFile, for the formats in which spaces, tabs and
// line ends all separate alike (texture and sound lists, animations, cutscenes). Each
// token knows the line it came from, for messages.
//
// Numbers are strict: the whole token must be one, written in plain decimal (no hex,
// "inf" or "nan"), and fit its type.
class TextTokens {
public:
    explicit TextTokens(TextFile& file) : file(file) {}

    // False at the end of the file (or at its size limits).
    bool next(std::string& token);
    bool nextInt(int32_t& value);
    // The line of the token last read.
    int line() const { return tokenLine; }
    // Reports a fault at the token last read, one the game passes over in silence.
    void report(const std::string& message) const { file.report(tokenLine, message); }

    static bool toInt(const std::string& text, int32_t& value);
    static bool toFloat(const std::string& text, float& value);

private:
    TextFile& file;
    std::string currentLine;
    std::size_t position = 0;
    int tokenLine = 0;
};
