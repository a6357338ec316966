#include <cstddef>
#include <cstdint>
#include <string>

#include "net/NetMessage.h"

// The first two bytes place the receiver's tick window; the rest is one datagram from
// the other player. What decodes must encode to bytes that decode again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int first = data[0] * 4;
    const NetMessage::TickWindow window{first, first + data[1]};
    NetMessage message;
    std::string error;
    if (NetMessage::decode(data + 2, size - 2, window, message, error)) {
        const std::vector<std::uint8_t> again = message.encode();
        NetMessage copy;
        if (!NetMessage::decode(again.data(), again.size(), window, copy, error)) __builtin_trap();
    }
    return 0;
}
