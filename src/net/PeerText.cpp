#include "net/PeerText.h"

namespace {

constexpr char kEllipsis[] = "...";
constexpr std::size_t kEllipsisLength = sizeof kEllipsis - 1;

bool continuation(unsigned char byte) { return byte >= 0x80 && byte <= 0xbf; }

// The length of the well-formed UTF-8 character at `at`, or 0. Overlong forms are not
// well-formed: a lenient terminal would read E0 80 9B as the escape character.
std::size_t characterLength(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char lowest = 0x80;
    unsigned char highest = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        if (lead == 0xe0) lowest = 0xa0;
        if (lead == 0xed) highest = 0x9f;  // no surrogates
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        if (lead == 0xf0) lowest = 0x90;
        if (lead == 0xf4) highest = 0x8f;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < lowest || byte(at + 1) > highest) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (!continuation(byte(at + i))) return 0;
    }
    return length;
}

bool control(const std::string& text, std::size_t at, std::size_t length) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (length == 1) return lead < 0x20 || lead == 0x7f;
    // U+0080..U+009F, the C1 controls, which some terminals obey as well.
    return length == 2 && lead == 0xc2 && static_cast<unsigned char>(text[at + 1]) < 0xa0;
}

}  // namespace

std::string PeerText::clean(const std::string& text) {
    std::string kept;
    kept.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = characterLength(text, at);
        if (length == 0) {
            ++at;
            continue;
        }
        if (!control(text, at, length)) kept.append(text, at, length);
        at += length;
    }
    return kept;
}

std::string PeerText::shortened(const std::string& text, std::size_t most) {
    if (text.size() <= most) return text;
    if (most <= kEllipsisLength) return std::string(kEllipsis, most);
    std::size_t cut = most - kEllipsisLength;
    while (cut > 0 && continuation(static_cast<unsigned char>(text[cut]))) --cut;
    return text.substr(0, cut) + kEllipsis;
}
