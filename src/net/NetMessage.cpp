#include "net/NetMessage.h"


#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/DataFileName.h"

namespace {

class ByteWriter {
public:
    void u8(unsigned value) { bytes.push_back(static_cast<uint8_t>(value)); }
    void u16(unsigned value) {
        u8(value & 0xff);
        u8((value >> 8) & 0xff);
    }
    void u32(uint32_t value) {
        u16(value & 0xffff);
        u16(value >> 16);
    }
    void f64(double value) {
        uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        u32(static_cast<uint32_t>(bits));
        u32(static_cast<uint32_t>(bits >> 32));
    }
    void text(const std::string& value) {
        u16(static_cast<unsigned>(value.size()));
        bytes.insert(bytes.end(), value.begin(), value.end());
    }

    std::vector<uint8_t> bytes;
};

// Every read checks the bytes left first; after the first failure all reads answer 0
// and `failed` names what was missing, so a decoder checks once at the end of a group.
class ByteReader {
public:
    ByteReader(const uint8_t* data, std::size_t size) : data(data), size(size) {}

    unsigned u8() { return have(1) ? data[offset++] : 0; }
    unsigned u16() {
        const unsigned low = u8();
        return low | (u8() << 8);
    }
    uint32_t u32() {
        const uint32_t low = u16();
        return low | (static_cast<uint32_t>(u16()) << 16);
    }
    double f64() {
        const uint64_t low = u32();
        const uint64_t bits = low | (static_cast<uint64_t>(u32()) << 32);
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    std::string text(std::size_t most) {
        const std::size_t length = u16();
        if (length > most) fail("a text longer than " + std::to_string(most) + " bytes");
        if (failed() || !have(length)) return "";
        std::string value(reinterpret_cast<const char*>(data + offset), length);
        offset += length;
        // Every text is one line, and some reach the other player's console.
        for (const char c : value) {
            if (static_cast<unsigned char>(c) < 32 || c == 127) {
                fail("a text with control characters");
                return "";
            }
        }
        return value;
    }
    // Counts are checked against what is left too: each item takes at least one byte.
    std::size_t count(std::size_t most) {
        const std::size_t value = u16();
        if (value > most) fail("a count of " + std::to_string(value) + " (at most " + std::to_string(most) + ")");
        else if (value > size - offset) fail("a count of " + std::to_string(value) + " in too short a message");
        return error.empty() ? value : 0;
    }

    void fail(const std::string& what) {
        if (error.empty()) error = what;
    }
    bool failed() const { return !error.empty(); }
    bool atEnd() const { return offset == size; }
    const std::string& failure() const { return error; }

private:
    bool have(std::size_t wanted) {
        if (error.empty() && wanted <= size - offset) return true;
        fail("the message is cut short");
        return false;
    }

    const uint8_t* data;
    std::size_t size;
    std::size_t offset = 0;
    std::string error;
};

constexpr unsigned kRollbackFollows = 0x80;

bool knownKey(int code) {
    return (code >= 0 && code <= NetMessage::MostRealKey) ||
           (code >= NetMessage::ControlKeyBase && code < NetMessage::ControlKeyBase + 16);
}

void readEvent(ByteReader& in, InputEvent& event) {
    const unsigned kind = in.u8();
    event.device = static_cast<int32_t>(in.u32());
    event.code = static_cast<int32_t>(in.u32());
    const unsigned down = in.u8();
    event.value = in.f64();
    if (in.failed()) return;
    event.down = down == 1;
    if (down > 1) return in.fail("an input with a pressed flag of " + std::to_string(down));
    if (kind == static_cast<unsigned>(InputEvent::Kind::Key)) {
        event.kind = InputEvent::Kind::Key;
        if (event.device != 0 || !knownKey(event.code) || event.value != 0.0) {
            in.fail("an unknown key " + std::to_string(event.code));
        }
    } else if (kind == static_cast<unsigned>(InputEvent::Kind::Axis)) {
        event.kind = InputEvent::Kind::Axis;
        const bool slotStick = event.device == NetMessage::SlotJoystickBase ||
                               event.device == NetMessage::SlotJoystickBase + 1;
        if (!slotStick || (event.code != 0 && event.code != 1) || event.down || !std::isfinite(event.value) ||
            std::fabs(event.value) > 1.0) {
            in.fail("an unknown stick movement");
        }
    } else {
        in.fail("an input of unknown kind " + std::to_string(kind));
    }
}

void readRollback(ByteReader& in, NetMessage& m) {
    m.rollback = static_cast<int>(in.u8());
    if (!in.failed() && (m.rollback < 1 || m.rollback > NetMessage::MostRollback)) {
        in.fail("a rollback of " + std::to_string(m.rollback) + " ticks");
    }
}

void readTick(ByteReader& in, const NetMessage::TickWindow& window, int& tick) {
    const uint32_t raw = in.u32();
    if (in.failed()) return;
    // The window alone bounds a tick: an online game may outlast the longest replay.
    if (raw > static_cast<uint32_t>(std::numeric_limits<int>::max()) || static_cast<int>(raw) < window.first ||
        static_cast<int>(raw) > window.last) {
        return in.fail("tick " + std::to_string(raw) + " outside " + std::to_string(window.first) + ".." +
                       std::to_string(window.last));
    }
    tick = static_cast<int>(raw);
}

void writeEvent(ByteWriter& out, const InputEvent& event) {
    out.u8(static_cast<unsigned>(event.kind));
    out.u32(static_cast<uint32_t>(event.device));
    out.u32(static_cast<uint32_t>(event.code));
    out.u8(event.down ? 1 : 0);
    out.f64(event.value);
}

void readBody(ByteReader& in, const NetMessage::TickWindow& window, NetMessage& m) {
    using Type = NetMessage::Type;
    switch (m.type) {
        case Type::Hello: {
            m.protocol = static_cast<int>(in.u16());
            m.gameVersion = in.text(64);
            const std::size_t files = in.count(NetMessage::MostDataFiles);
            m.data.resize(files);
            for (ReplayFile::DataFile& file : m.data) {
                file.name = in.text(255);
                file.digest = in.text(64);
            }
            if (m.protocol == NetMessage::RollbackProtocol) readRollback(in, m);
            break;
        }
        case Type::Start: {
            m.seed = in.u32();
            // The delay's top bit says a rollback depth follows the settings.
            const unsigned delayByte = in.u8();
            const bool withRollback = (delayByte & kRollbackFollows) != 0;
            m.delay = static_cast<int>(delayByte & ~kRollbackFollows);
            if (m.delay > NetMessage::MostDelay) in.fail("an input delay of " + std::to_string(m.delay) + " ticks");
            m.levelFile = in.text(255);
            if (!in.failed() && !DataFileName::isLevelName(m.levelFile)) {
                in.fail("a level file name that is no plain file name");
            }
            m.settings.resize(in.count(NetMessage::MostSettings));
            for (std::string& line : m.settings) line = in.text(1024);
            if (withRollback) readRollback(in, m);
            break;
        }
        case Type::Inputs: {
            readTick(in, window, m.tick);
            const std::size_t count = in.count(NetMessage::MostInputTicks);
            if (!in.failed() && static_cast<long>(m.tick) + static_cast<long>(count) - 1 > window.last) {
                in.fail("input up to tick " + std::to_string(static_cast<long>(m.tick) + static_cast<long>(count) - 1) +
                        " beyond " + std::to_string(window.last));
            }
            m.ticks.resize(count);
            for (std::vector<InputEvent>& events : m.ticks) {
                const unsigned many = in.u8();
                if (many > NetMessage::MostEventsPerTick) in.fail(std::to_string(many) + " inputs in one tick");
                if (in.failed()) break;
                events.resize(many);
                for (InputEvent& event : events) {
                    if (!in.failed()) readEvent(in, event);
                }
            }
            // Both are ticks of play, bounded like the ones carried: the receiver checks
            // them against what it sent and what it runs.
            m.acknowledged = static_cast<int>(in.u32());
            m.runningTick = static_cast<int>(in.u32());
            m.lead = static_cast<int8_t>(in.u8());
            if (!in.failed() && (m.acknowledged < 0 || m.runningTick < 0 || m.runningTick > window.last)) {
                in.fail("a tick of play outside 0.." + std::to_string(window.last));
            }
            break;
        }
        case Type::Input: {
            readTick(in, window, m.tick);
            m.events.resize(in.count(NetMessage::MostEventsPerTick));
            for (InputEvent& event : m.events) {
                if (!in.failed()) readEvent(in, event);
            }
            break;
        }
        case Type::Digest:
            readTick(in, window, m.tick);
            if (!in.failed() && m.tick % ReplayFile::DigestInterval != 0) in.fail("a digest between digest ticks");
            m.text = in.text(16384);
            break;
        case Type::End: {
            const unsigned kind = in.u8();
            if (kind < 1 || kind > 3) in.fail("an end of unknown kind " + std::to_string(kind));
            m.endKind = static_cast<NetMessage::EndKind>(kind);
            m.tick = static_cast<int32_t>(in.u32());
            m.text = in.text(NetMessage::MostTextBytes);
            break;
        }
        case Type::Alive: break;
        default: in.fail("a message of unknown type " + std::to_string(static_cast<unsigned>(m.type)));
    }
}

}  // namespace

std::vector<uint8_t> NetMessage::encode() const {
    ByteWriter out;
    out.u8(static_cast<unsigned>(type));
    switch (type) {
        case Type::Hello:
            out.u16(static_cast<unsigned>(protocol));
            out.text(gameVersion);
            out.u16(static_cast<unsigned>(data.size()));
            for (const ReplayFile::DataFile& file : data) {
                out.text(file.name);
                out.text(file.digest);
            }
            if (protocol == RollbackProtocol) out.u8(static_cast<unsigned>(rollback));
            break;
        case Type::Start:
            out.u32(seed);
            out.u8(static_cast<unsigned>(delay) | (rollback > 0 ? kRollbackFollows : 0u));
            out.text(levelFile);
            out.u16(static_cast<unsigned>(settings.size()));
            for (const std::string& line : settings) out.text(line);
            if (rollback > 0) out.u8(static_cast<unsigned>(rollback));
            break;
        case Type::Input:
            out.u32(static_cast<uint32_t>(tick));
            out.u16(static_cast<unsigned>(events.size()));
            for (const InputEvent& event : events) writeEvent(out, event);
            break;
        case Type::Inputs:
            out.u32(static_cast<uint32_t>(tick));
            out.u16(static_cast<unsigned>(ticks.size()));
            for (const std::vector<InputEvent>& tickEvents : ticks) {
                out.u8(static_cast<unsigned>(tickEvents.size()));
                for (const InputEvent& event : tickEvents) writeEvent(out, event);
            }
            out.u32(static_cast<uint32_t>(acknowledged));
            out.u32(static_cast<uint32_t>(runningTick));
            out.u8(static_cast<unsigned>(static_cast<uint8_t>(static_cast<int8_t>(std::clamp(lead, -128, 127)))));
            break;
        case Type::Digest:
            out.u32(static_cast<uint32_t>(tick));
            out.text(text);
            break;
        case Type::End:
            out.u8(static_cast<unsigned>(endKind));
            out.u32(static_cast<uint32_t>(tick));
            out.text(text);
            break;
        case Type::Alive: break;
    }
    return std::move(out.bytes);
}

bool NetMessage::decode(const uint8_t* bytes, std::size_t size, const TickWindow& window, NetMessage& message,
                        std::string& error) {
    message = NetMessage{};
    if (size == 0 || size > MostBytes) {
        error = size == 0 ? "an empty message" : "a message of " + std::to_string(size) + " bytes";
        return false;
    }
    ByteReader in(bytes, size);
    message.type = static_cast<Type>(in.u8());
    readBody(in, window, message);
    if (!in.failed() && !in.atEnd()) in.fail("bytes left over after the message");
    error = in.failure();
    return error.empty();
}
