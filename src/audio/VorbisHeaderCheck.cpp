#include "audio/VorbisHeaderCheck.h"

#include <ogg/ogg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace {

// Real setup headers take a few kilobytes; a stream still gathering its headers past
// this is refused rather than buffered.
constexpr long kMostHeaderBytes = 16L << 20;
constexpr long kMostSampleRate = 1000000;
constexpr int kFileChunk = 65536;

int bitCount(long value) {
    int bits = 0;
    for (; value > 0; value >>= 1) {
        ++bits;
    }
    return bits;
}

// The number of values per dimension of a lattice codebook: the largest r with
// r^dimension <= entries, worked out in integers so that it matches libvorbis exactly.
long latticeValues(long entries, long dimension) {
    if (dimension == 0 || entries < 1) {
        return 0;
    }
    const auto fits = [&](long r) {
        long power = 1;
        for (long i = 0; i < dimension; ++i) {
            if (power > entries / r) {
                return false;
            }
            power *= r;
        }
        return true;
    };
    long r = std::max(1L, static_cast<long>(std::floor(std::pow(static_cast<double>(entries), 1.0 / dimension))));
    while (!fits(r)) {
        --r;
    }
    while (fits(r + 1)) {
        ++r;
    }
    return r;
}

// Reads a Vorbis packet bit by bit, least significant bit first; any read past the end
// marks the whole packet as failed.
class PacketBits {
public:
    PacketBits(const unsigned char* data, long bytes) : totalBits(bytes * 8) {
        oggpack_readinit(&buffer, const_cast<unsigned char*>(data), bytes);
    }
    long read(int bits) {
        const long value = oggpack_read(&buffer, bits);
        if (value < 0) {
            failed = true;
        }
        return value;
    }
    bool skip(long bits) {
        if (bits > totalBits - oggpack_bits(&buffer)) {
            failed = true;
            return false;
        }
        oggpack_adv(&buffer, static_cast<int>(bits));
        return true;
    }
    bool ok() const { return !failed; }

private:
    oggpack_buffer buffer{};
    long totalBits;
    bool failed = false;
};

struct Codebook {
    long dimension = 0;
    long entries = 0;
};

bool readCodebook(PacketBits& bits, Codebook& book) {
    if (bits.read(24) != 0x564342) {
        return false;
    }
    book.dimension = bits.read(16);
    book.entries = bits.read(24);
    if (!bits.ok() || bitCount(book.dimension) + bitCount(book.entries) > 24) {
        return false;
    }
    if (bits.read(1) == 0) {
        const bool sparse = bits.read(1) == 1;
        for (long i = 0; i < book.entries && bits.ok(); ++i) {
            if (!sparse || bits.read(1) == 1) {
                bits.read(5);
            }
        }
    } else {
        long length = bits.read(5) + 1;
        for (long i = 0; i < book.entries && bits.ok(); ++length) {
            const long count = bits.read(bitCount(book.entries - i));
            if (length > 32 || count > book.entries - i) {
                return false;
            }
            i += count;
        }
    }
    const long lookup = bits.read(4);
    if (lookup == 1 && book.dimension == 0) {
        return false;  // libvorbis never finishes counting its lattice values
    }
    if (lookup == 1 || lookup == 2) {
        bits.skip(32 + 32);
        const long valueBits = bits.read(4) + 1;
        bits.read(1);
        const long values = lookup == 1 ? latticeValues(book.entries, book.dimension) : book.entries * book.dimension;
        bits.skip(values * valueBits);
    } else if (lookup != 0) {
        return false;
    }
    return bits.ok();
}

bool readFloor(PacketBits& bits, long bookCount) {
    const long type = bits.read(16);
    if (type == 0) {
        bits.skip(8 + 16 + 16 + 6 + 8);
        const long books = bits.read(4) + 1;
        for (long i = 0; i < books && bits.ok(); ++i) {
            if (bits.read(8) >= bookCount) {
                return false;
            }
        }
        return bits.ok();
    }
    if (type != 1) {
        return false;
    }
    const long partitions = bits.read(5);
    std::vector<long> partitionClass;
    long classCount = 0;
    for (long i = 0; i < partitions && bits.ok(); ++i) {
        partitionClass.push_back(bits.read(4));
        classCount = std::max(classCount, partitionClass.back() + 1);
    }
    std::vector<long> classDimension;
    for (long c = 0; c < classCount && bits.ok(); ++c) {
        classDimension.push_back(bits.read(3) + 1);
        const long subclassBits = bits.read(2);
        if (subclassBits > 0 && bits.read(8) >= bookCount) {
            return false;
        }
        for (long k = 0; k < (1L << subclassBits) && bits.ok(); ++k) {
            if (bits.read(8) - 1 >= bookCount) {
                return false;
            }
        }
    }
    bits.read(2);
    const long rangeBits = bits.read(4);
    for (long i = 0; i < partitions && bits.ok(); ++i) {
        bits.skip(classDimension[static_cast<std::size_t>(partitionClass[static_cast<std::size_t>(i)])] * rangeBits);
    }
    return bits.ok();
}

// Every book a residue decodes with must have at least one dimension: libvorbis divides
// by the stage books' dimension without checking it.
bool readResidue(PacketBits& bits, const std::vector<Codebook>& books) {
    const auto usable = [&books](long index) {
        return index >= 0 && index < static_cast<long>(books.size()) &&
               books[static_cast<std::size_t>(index)].dimension >= 1;
    };
    if (bits.read(16) > 2) {
        return false;
    }
    bits.skip(24 + 24 + 24);
    const long partitions = bits.read(6) + 1;
    if (!usable(bits.read(8))) {
        return false;
    }
    std::vector<long> cascades;
    for (long i = 0; i < partitions && bits.ok(); ++i) {
        long cascade = bits.read(3);
        if (bits.read(1) == 1) {
            cascade |= bits.read(5) << 3;
        }
        cascades.push_back(cascade);
    }
    for (const long cascade : cascades) {
        for (int stage = 0; stage < 8 && bits.ok(); ++stage) {
            if ((cascade & (1L << stage)) != 0 && !usable(bits.read(8))) {
                return false;
            }
        }
    }
    return bits.ok();
}

bool isVorbisHeader(const ogg_packet& packet, unsigned char type) {
    return packet.bytes >= 7 && packet.packet[0] == type && std::memcmp(packet.packet + 1, "vorbis", 6) == 0;
}

unsigned long littleEndian32(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<unsigned long>(bytes[3]) << 24;
}

bool identificationUsable(const ogg_packet& packet) {
    if (packet.bytes < 30) {
        return false;
    }
    const unsigned char* p = packet.packet;
    const unsigned long rate = littleEndian32(p + 12);
    const int shortBlock = p[28] & 0x0f;
    const int longBlock = p[28] >> 4;
    return littleEndian32(p + 7) == 0 && p[11] >= 1 && rate >= 1 && rate <= kMostSampleRate && shortBlock >= 6 &&
           shortBlock <= longBlock && longBlock <= 13 && (p[29] & 1) == 1;
}

// Reads through the codebooks, floors and residues; libvorbis checks the mappings and
// modes that follow well enough itself.
bool setupUsable(const ogg_packet& packet) {
    PacketBits bits(packet.packet + 7, packet.bytes - 7);
    std::vector<Codebook> books(static_cast<std::size_t>(bits.read(8) + 1));
    for (Codebook& book : books) {
        if (!readCodebook(bits, book)) {
            return false;
        }
    }
    const long timeCount = bits.read(6) + 1;
    for (long i = 0; i < timeCount; ++i) {
        if (bits.read(16) != 0) {
            return false;
        }
    }
    const long floorCount = bits.read(6) + 1;
    for (long i = 0; i < floorCount; ++i) {
        if (!readFloor(bits, static_cast<long>(books.size()))) {
            return false;
        }
    }
    const long residueCount = bits.read(6) + 1;
    for (long i = 0; i < residueCount; ++i) {
        if (!readResidue(bits, books)) {
            return false;
        }
    }
    return bits.ok();
}

// The three header packets of one logical stream, gathered page by page.
class StreamHeaders {
public:
    explicit StreamHeaders(int serial) { ogg_stream_init(&stream, serial); }
    ~StreamHeaders() { ogg_stream_clear(&stream); }
    StreamHeaders(const StreamHeaders&) = delete;
    StreamHeaders& operator=(const StreamHeaders&) = delete;

    // False as soon as the stream shows a header that must not reach libvorbis.
    bool add(ogg_page& page) {
        if (finished) {
            return true;
        }
        ogg_stream_pagein(&stream, &page);
        ogg_packet packet;
        int result = 0;
        while (!finished && (result = ogg_stream_packetout(&stream, &packet)) != 0) {
            if (result < 0) {
                continue;
            }
            if (!accept(packet)) {
                return false;
            }
        }
        return finished || stream.body_fill <= kMostHeaderBytes;
    }

    // A Vorbis stream cut off before its setup header: libvorbisfile refuses it, but
    // leaks a little on the way, once per attempt.
    bool cutShort() const { return !finished; }

private:
    bool accept(const ogg_packet& packet) {
        const int index = packets++;
        if (index == 0 && !isVorbisHeader(packet, 1)) {
            finished = true;  // not Vorbis: libvorbisfile will not decode it
            return true;
        }
        finished = index == 2;
        if (index == 0) {
            return identificationUsable(packet);
        }
        return index != 2 || (isVorbisHeader(packet, 5) && setupUsable(packet));
    }

    ogg_stream_state stream{};
    int packets = 0;
    bool finished = false;
};

class SyncState {
public:
    SyncState() { ogg_sync_init(&sync); }
    ~SyncState() { ogg_sync_clear(&sync); }
    SyncState(const SyncState&) = delete;
    SyncState& operator=(const SyncState&) = delete;
    ogg_sync_state* get() { return &sync; }

private:
    ogg_sync_state sync{};
};

}  // namespace

bool VorbisHeaderCheck::safeToDecode(std::FILE* file) {
    SyncState sync;
    std::map<int, std::unique_ptr<StreamHeaders>> streams;
    for (;;) {
        char* area = ogg_sync_buffer(sync.get(), kFileChunk);
        const std::size_t got = area != nullptr ? std::fread(area, 1, kFileChunk, file) : 0;
        ogg_sync_wrote(sync.get(), static_cast<long>(got));
        ogg_page page;
        int result = 0;
        while ((result = ogg_sync_pageout(sync.get(), &page)) != 0) {
            if (result < 0) {
                continue;
            }
            const int serial = ogg_page_serialno(&page);
            if (ogg_page_bos(&page) != 0) {
                streams[serial] = std::make_unique<StreamHeaders>(serial);
            }
            const auto found = streams.find(serial);
            if (found != streams.end() && !found->second->add(page)) {
                return false;
            }
        }
        if (got == 0) {
            for (const auto& [serial, headers] : streams) {
                if (headers->cutShort()) {
                    return false;
                }
            }
            return true;
        }
    }
}
