#include "audio/SoundFile.h"

#include <AL/alut.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

uint32_t little32(const Bytes& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}
uint32_t little16(const Bytes& bytes, std::size_t at) { return bytes[at] | bytes[at + 1] << 8; }
uint32_t big32(const Bytes& bytes, std::size_t at) {
    return static_cast<uint32_t>(bytes[at]) << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
}
bool startsWith(const Bytes& bytes, std::size_t at, const char* tag) {
    return bytes.size() >= at + 4 && std::memcmp(bytes.data() + at, tag, 4) == 0;
}

// ALUT walks the chunks up to the sample data; each must lie inside the file, and the
// format must be one ALUT can hand to OpenAL (PCM or mu-law, one or two channels).
bool waveFits(const Bytes& bytes) {
    bool formatSeen = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const uint64_t length = little32(bytes, at + 4);
        const std::size_t body = at + 8;
        if (length > bytes.size() - body) {
            return false;
        }
        if (startsWith(bytes, at, "fmt ")) {
            if (length < 16) {
                return false;
            }
            const uint32_t format = little16(bytes, body), channels = little16(bytes, body + 2);
            const uint32_t rate = little32(bytes, body + 4), bits = little16(bytes, body + 14);
            const bool pcm = format == 1 && (bits == 8 || bits == 16);
            const bool muLaw = format == 7 && bits == 8;
            formatSeen = (pcm || muLaw) && (channels == 1 || channels == 2) && rate >= 1;
            if (!formatSeen) {
                return false;
            }
        } else if (startsWith(bytes, at, "data")) {
            return formatSeen;
        }
        at = body + static_cast<std::size_t>(length) + (length & 1);
    }
    return false;
}

// ALUT takes an unknown data length (all ones) as "the rest of the file", counting the
// 24-byte header twice.
bool sunAudioFits(const Bytes& bytes) {
    const std::size_t header = 24;
    if (bytes.size() < header) {
        return false;
    }
    const uint64_t offset = big32(bytes, 4), length = big32(bytes, 8);
    if (offset < header || offset > bytes.size()) {
        return false;
    }
    if (length == 0xffffffffu) {
        return bytes.size() > 2 * header + offset;
    }
    return length <= bytes.size() - offset;
}

bool hasRawSuffix(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string suffix = path.substr(path.size() - 4);
    for (char& c : suffix) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return suffix == ".raw";
}

}  // namespace

SoundFile::Loaded SoundFile::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        return {0, ALUT_ERROR_IO_ERROR};
    }
    const std::streamoff size = in.tellg();
    if (size < 0) {
        return {0, ALUT_ERROR_IO_ERROR};
    }
    if (size > maxBytes) {
        return {0, ALUT_ERROR_OUT_OF_MEMORY};
    }
    // ALUT knows raw samples only by the file name, which a file image does not carry;
    // the whole file is the sample data, and its size is already bounded.
    if (hasRawSuffix(path)) {
        const ALuint buffer = alutCreateBufferFromFile(path.c_str());
        return {buffer, buffer == 0 ? alutGetError() : ALUT_ERROR_NO_ERROR};
    }
    Bytes bytes(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        return {0, ALUT_ERROR_IO_ERROR};
    }
    if ((startsWith(bytes, 0, "RIFF") && startsWith(bytes, 8, "WAVE") && !waveFits(bytes)) ||
        (startsWith(bytes, 0, ".snd") && !sunAudioFits(bytes))) {
        return {0, ALUT_ERROR_CORRUPT_OR_TRUNCATED_DATA};
    }
    const ALuint buffer = alutCreateBufferFromFileImage(bytes.data(), static_cast<ALsizei>(bytes.size()));
    return {buffer, buffer == 0 ? alutGetError() : ALUT_ERROR_NO_ERROR};
}
