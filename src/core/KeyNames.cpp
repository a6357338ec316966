#include "core/KeyNames.h"

#include <cctype>

#include "core/Settings.h"

namespace {

constexpr int kSpecial = 256;

struct Named {
    int code;
    const char* name;
};

const Named kNames[] = {
    {8, "Backspace"},          {9, "Tab"},                {10, "Enter"},            {13, "Enter"},
    {27, "Escape"},            {32, "Space"},             {127, "Delete"},          {kSpecial + 100, "Left"},
    {kSpecial + 101, "Up"},    {kSpecial + 102, "Right"}, {kSpecial + 103, "Down"}, {kSpecial + 104, "Page Up"},
    {kSpecial + 105, "Page Down"}, {kSpecial + 106, "Home"}, {kSpecial + 107, "End"}, {kSpecial + 108, "Insert"},
    {kSpecial + 109, "Num Lock"}, {kSpecial + 110, "Keypad 5"}, {kSpecial + 111, "Delete"},
    {kSpecial + 112, "Left Shift"}, {kSpecial + 113, "Right Shift"}, {kSpecial + 114, "Left Ctrl"},
    {kSpecial + 115, "Right Ctrl"}, {kSpecial + 116, "Left Alt"}, {kSpecial + 117, "Right Alt"},
    {kSpecial + 118, "Left Super"}, {kSpecial + 119, "Right Super"},
};

// The names a "key" line knows besides single characters.
const char* const kFileNames[] = {"up", "down", "left", "right", "space", "tab", "escape"};

}  // namespace

std::string KeyNames::name(int code) {
    if (code == 0) return "-";
    for (const Named& named : kNames) {
        if (named.code == code) return named.name;
    }
    if (code > kSpecial && code <= kSpecial + 12) return "F" + std::to_string(code - kSpecial);
    if (code > 32 && code < 127) {
        return std::string(1, static_cast<char>(std::toupper(code)));
    }
    return "Key " + std::to_string(code);
}

std::string KeyNames::settingsLine(const std::string& setting, int code) {
    for (const char* fileName : kFileNames) {
        if (Settings::keyCode(fileName) == code) return "key " + setting + " " + fileName;
    }
    // '#' would start a comment; every other printable character names itself.
    if (code > 32 && code < 127 && code != '#') return "key " + setting + " " + std::string(1, static_cast<char>(code));
    return "int " + setting + " " + std::to_string(code);
}

int KeyNames::forBinding(int code) { return code >= 'A' && code <= 'Z' ? code - 'A' + 'a' : code; }
