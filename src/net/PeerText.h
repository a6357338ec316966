#pragma once

#include <cstddef>
#include <string>

// Text another machine chose (its file names, part names, reasons) on its way to our
// console or screen: a terminal obeys control characters, so none may pass, and a
// reason shown on screen must stay short enough to read.
class PeerText {
public:
    // The text without control characters (C0, DEL and C1, raw or UTF-8 encoded) and
    // without bytes that are no well-formed UTF-8; everything else is kept.
    static std::string clean(const std::string& text);
    // At most `most` bytes, cut at a character boundary and ending in "..." when cut.
    static std::string shortened(const std::string& text, std::size_t most);
};
