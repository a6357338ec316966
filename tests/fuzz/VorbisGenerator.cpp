#include "VorbisGenerator.h"

#include "FuzzSupport.h"

#include <ogg/ogg.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace fuzz {

namespace {

constexpr unsigned long kCodebookSync = 0x564342;
constexpr int kSampleRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000, 96000};

int bitCount(unsigned long value) {
    int bits = 0;
    for (; value > 0; value >>= 1) ++bits;
    return bits;
}

// The largest r with r^dimension <= entries: how many values a lattice book stores.
long latticeValues(long entries, long dimension) {
    if (dimension < 1 || entries < 1) return 0;
    const auto fits = [&](long r) {
        long power = 1;
        for (long i = 0; i < dimension; ++i) {
            if (power > entries / r) return false;
            power *= r;
        }
        return true;
    };
    long r = 1;
    while (fits(r + 1)) ++r;
    return r;
}

class BitWriter {
public:
    BitWriter() { oggpack_writeinit(&buffer); }
    ~BitWriter() { oggpack_writeclear(&buffer); }
    BitWriter(const BitWriter&) = delete;
    BitWriter& operator=(const BitWriter&) = delete;

    void put(unsigned long value, int bits) {
        if (bits > 0) oggpack_write(&buffer, value, bits);
    }
    void headerTag(int type) {
        put(static_cast<unsigned long>(type), 8);
        for (const char c : {'v', 'o', 'r', 'b', 'i', 's'}) put(static_cast<unsigned long>(c), 8);
    }
    std::string bytes() {
        return std::string(reinterpret_cast<const char*>(oggpack_get_buffer(&buffer)),
                           static_cast<std::size_t>(oggpack_bytes(&buffer)));
    }

private:
    oggpack_buffer buffer{};
};

class OggWriter {
public:
    explicit OggWriter(int serial) { ogg_stream_init(&stream, serial); }
    ~OggWriter() { ogg_stream_clear(&stream); }
    OggWriter(const OggWriter&) = delete;
    OggWriter& operator=(const OggWriter&) = delete;

    void add(const std::string& bytes, long granule, bool last, bool flush) {
        ogg_packet packet{};
        packet.packet = reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data()));
        packet.bytes = static_cast<long>(bytes.size());
        packet.b_o_s = number == 0;
        packet.e_o_s = last;
        packet.granulepos = granule;
        packet.packetno = number++;
        ogg_stream_packetin(&stream, &packet);
        ogg_page page;
        while (flush ? ogg_stream_flush(&stream, &page) != 0 : ogg_stream_pageout(&stream, &page) != 0) {
            file.append(reinterpret_cast<const char*>(page.header), static_cast<std::size_t>(page.header_len));
            file.append(reinterpret_cast<const char*>(page.body), static_cast<std::size_t>(page.body_len));
        }
    }
    std::string take() {
        ogg_page page;
        while (ogg_stream_flush(&stream, &page) != 0) {
            file.append(reinterpret_cast<const char*>(page.header), static_cast<std::size_t>(page.header_len));
            file.append(reinterpret_cast<const char*>(page.body), static_cast<std::size_t>(page.body_len));
        }
        return file;
    }

private:
    ogg_stream_state stream{};
    long number = 0;
    std::string file;
};

struct Book {
    long dimension = 0;
    long entries = 0;
    int lookup = 0;
};

// One logical stream: the three headers and the audio packets that follow them.
class StreamGenerator {
public:
    explicit StreamGenerator(ByteReader& in) : in(in) {}

    std::string stream(int serial) {
        OggWriter ogg(serial);
        ogg.add(identification(), 0, false, true);
        ogg.add(comment(), 0, false, false);
        ogg.add(setup(), 0, false, true);
        const int packets = 1 + pick(16);
        long granule = 0;
        int previousBlock = 0;
        for (int i = 0; i < packets; ++i) {
            const int mode = pick(static_cast<int>(modeLong.size()));
            const int block = blockSizes[modeLong[static_cast<std::size_t>(mode) % modeLong.size()] ? 1 : 0];
            granule += previousBlock == 0 ? 0 : (previousBlock + block) / 4;
            previousBlock = block;
            ogg.add(audio(mode), granule, i == packets - 1, pick(4) == 0);
        }
        return ogg.take();
    }

private:
    // One of count values; a byte of 255 makes the next byte the raw value instead, so
    // now and then a field lies outside what the rest of the stream allows.
    int pick(int count) {
        const int choice = in.byte();
        if (choice == 255) return in.byte();
        return count > 0 ? choice % count : 0;
    }
    unsigned long word(int bytes) {
        unsigned long value = 0;
        for (int i = 0; i < bytes; ++i) value = value << 8 | in.byte();
        return value;
    }
    // Vorbis's packed float: 21-bit mantissa, 10-bit exponent biased by 788, sign; kept
    // within a few powers of two of 1.
    unsigned long packedFloat() {
        const unsigned long mantissa = word(3) & 0x1fffff;
        const unsigned long exponent = 788 - 21 + static_cast<unsigned long>(pick(24)) - 12;
        const unsigned long sign = in.byte() & 1;
        return sign << 31 | exponent << 21 | mantissa;
    }

    std::string identification() {
        BitWriter bits;
        bits.headerTag(1);
        channels = 1 + pick(2);
        const int rate = pick(9);
        const int shortBits = 6 + pick(4);
        const int longBits = shortBits + pick(14 - shortBits);
        blockSizes[0] = 1 << std::clamp(shortBits & 15, 6, 13);
        blockSizes[1] = 1 << std::clamp(longBits & 15, 6, 13);
        bits.put(0, 32);
        bits.put(static_cast<unsigned long>(channels), 8);
        bits.put(rate < 8 ? static_cast<unsigned long>(kSampleRates[rate]) : word(4), 32);
        bits.put(word(4), 32);
        bits.put(word(4), 32);
        bits.put(word(4), 32);
        bits.put(static_cast<unsigned long>(shortBits), 4);
        bits.put(static_cast<unsigned long>(longBits), 4);
        bits.put(1, 1);
        return bits.bytes();
    }

    std::string comment() {
        BitWriter bits;
        bits.headerTag(3);
        const auto text = [&] {
            const int length = pick(16);
            bits.put(static_cast<unsigned long>(length), 32);
            for (int c = 0; c < length; ++c) bits.put(in.byte(), 8);
        };
        text();  // the vendor
        const int comments = pick(3);
        bits.put(static_cast<unsigned long>(comments), 32);
        for (int i = 0; i < comments; ++i) text();
        bits.put(1, 1);
        return bits.bytes();
    }

    // Code lengths for the used entries that make a complete prefix code, grown by
    // splitting leaves the fuzz bytes choose; now and then any lengths at all.
    std::vector<int> codeLengths(long used) {
        std::vector<int> lengths;
        if (used == 1) return {1};
        if (pick(16) == 0) {
            for (long i = 0; i < used; ++i) lengths.push_back(1 + pick(32));
            return lengths;
        }
        lengths.push_back(0);
        while (static_cast<long>(lengths.size()) < used) {
            std::size_t leaf = static_cast<std::size_t>(in.byte()) % lengths.size();
            if (lengths[leaf] >= 32) {
                leaf = static_cast<std::size_t>(
                    std::find_if(lengths.begin(), lengths.end(), [](int d) { return d < 32; }) - lengths.begin());
            }
            ++lengths[leaf];
            lengths.push_back(lengths[leaf]);
        }
        return lengths;
    }

    void codebook(BitWriter& bits, Book& book) {
        book.dimension = pick(9);
        book.entries = pick(8) == 0 ? 1 + static_cast<long>(word(2) % 4096) : 1 + pick(64);
        const bool sparse = pick(4) == 0;
        std::vector<bool> usedEntry(static_cast<std::size_t>(book.entries), true);
        long used = book.entries;
        if (sparse) {
            used = 0;
            for (long i = 0; i < book.entries; ++i) {
                usedEntry[static_cast<std::size_t>(i)] = (in.byte() & 1) != 0;
                used += usedEntry[static_cast<std::size_t>(i)];
            }
        }
        std::vector<int> lengths = used > 0 ? codeLengths(used) : std::vector<int>{};
        const bool ordered = !sparse && pick(3) == 0;
        bits.put(kCodebookSync, 24);
        bits.put(static_cast<unsigned long>(book.dimension), 16);
        bits.put(static_cast<unsigned long>(book.entries), 24);
        bits.put(ordered, 1);
        if (ordered) {
            std::sort(lengths.begin(), lengths.end());
            bits.put(static_cast<unsigned long>(lengths.front() - 1), 5);
            long done = 0;
            for (int length = lengths.front(); done < book.entries && length <= 32; ++length) {
                const long count = std::count(lengths.begin(), lengths.end(), length);
                bits.put(static_cast<unsigned long>(count), bitCount(static_cast<unsigned long>(book.entries - done)));
                done += count;
            }
        } else {
            bits.put(sparse, 1);
            std::size_t next = 0;
            for (const bool used : usedEntry) {
                if (sparse) bits.put(used, 1);
                if (used) bits.put(static_cast<unsigned long>(lengths[next++] - 1), 5);
            }
        }
        book.lookup = pick(3);
        bits.put(static_cast<unsigned long>(book.lookup), 4);
        if (book.lookup == 1 || book.lookup == 2) {
            bits.put(packedFloat(), 32);
            bits.put(packedFloat(), 32);
            const int valueBits = 1 + pick(16);
            bits.put(static_cast<unsigned long>(valueBits - 1), 4);
            bits.put(in.byte() & 1, 1);
            const long values =
                book.lookup == 1 ? latticeValues(book.entries, book.dimension) : book.entries * book.dimension;
            for (long i = 0; i < values; ++i) bits.put(word(2), valueBits);
        }
    }

    // A book that may decode vectors (floor 0, residue stages), else any.
    int vectorBook() {
        std::vector<int> fitting;
        for (std::size_t i = 0; i < books.size(); ++i) {
            if (books[i].dimension >= 1 && (books[i].lookup == 1 || books[i].lookup == 2)) {
                fitting.push_back(static_cast<int>(i));
            }
        }
        if (fitting.empty()) return pick(static_cast<int>(books.size()));
        return fitting[static_cast<std::size_t>(pick(static_cast<int>(fitting.size()))) % fitting.size()];
    }

    // A residue's classification book: partitions^dimension must not exceed its entries.
    int classBook(long partitions) {
        std::vector<int> fitting;
        for (std::size_t i = 0; i < books.size(); ++i) {
            long power = 1;
            for (long d = 0; d < books[i].dimension && power <= books[i].entries; ++d) power *= partitions;
            if (books[i].dimension >= 1 && power <= books[i].entries) fitting.push_back(static_cast<int>(i));
        }
        if (fitting.empty()) return pick(static_cast<int>(books.size()));
        return fitting[static_cast<std::size_t>(pick(static_cast<int>(fitting.size()))) % fitting.size()];
    }

    void floor0(BitWriter& bits) {
        bits.put(static_cast<unsigned long>(1 + pick(32)), 8);
        bits.put(static_cast<unsigned long>(kSampleRates[pick(8) % 8]), 16);
        bits.put(static_cast<unsigned long>(64 + pick(256)), 16);
        bits.put(static_cast<unsigned long>(1 + pick(12)), 6);
        bits.put(in.byte(), 8);
        const int count = 1 + pick(4);
        bits.put(static_cast<unsigned long>(count - 1), 4);
        for (int i = 0; i < count; ++i) bits.put(static_cast<unsigned long>(vectorBook()), 8);
    }

    void floor1(BitWriter& bits) {
        const int partitions = pick(5);
        const int classes = 1 + pick(3);
        std::vector<int> partitionClass;
        int classCount = 0;
        bits.put(static_cast<unsigned long>(partitions), 5);
        for (int i = 0; i < partitions; ++i) {
            partitionClass.push_back(pick(classes) & 15);
            classCount = std::max(classCount, partitionClass.back() + 1);
            bits.put(static_cast<unsigned long>(partitionClass.back()), 4);
        }
        std::vector<int> classDimension;
        for (int c = 0; c < classCount; ++c) {
            classDimension.push_back(1 + pick(3) % 8);
            const int subclassBits = pick(3) & 3;
            bits.put(static_cast<unsigned long>(classDimension.back() - 1), 3);
            bits.put(static_cast<unsigned long>(subclassBits), 2);
            if (subclassBits > 0) bits.put(static_cast<unsigned long>(pick(static_cast<int>(books.size()))), 8);
            for (int k = 0; k < (1 << subclassBits); ++k) {
                bits.put(static_cast<unsigned long>(pick(static_cast<int>(books.size()) + 1)), 8);
            }
        }
        int posts = 0;
        for (const int c : partitionClass) posts += classDimension[static_cast<std::size_t>(c)];
        const int rangeBits = std::min(15, std::max(bitCount(static_cast<unsigned long>(posts)) + 1, 4 + pick(8)));
        bits.put(static_cast<unsigned long>(pick(4)), 2);
        bits.put(static_cast<unsigned long>(rangeBits), 4);
        // Distinct positions between the two implicit end posts.
        const long span = (1L << rangeBits) - 1;
        std::vector<bool> taken(static_cast<std::size_t>(span + 1), false);
        for (int i = 0; i < posts; ++i) {
            long x = 1 + static_cast<long>(word(2)) % span;
            while (taken[static_cast<std::size_t>(x)]) x = x % span + 1;
            taken[static_cast<std::size_t>(x)] = true;
            bits.put(static_cast<unsigned long>(x), rangeBits);
        }
    }

    void residue(BitWriter& bits) {
        const int longHalf = blockSizes[1] / 2;
        const long begin = pick(4) * longHalf / 8;
        const long end = std::min<long>(longHalf, begin + (1 + pick(16)) * longHalf / 16);
        const long partitions = 1 + pick(4);
        bits.put(static_cast<unsigned long>(pick(3)), 16);
        bits.put(static_cast<unsigned long>(begin), 24);
        bits.put(static_cast<unsigned long>(end), 24);
        bits.put(static_cast<unsigned long>((1 << pick(7) % 7) - 1), 24);
        bits.put(static_cast<unsigned long>(partitions - 1), 6);
        bits.put(static_cast<unsigned long>(classBook(partitions)), 8);
        std::vector<int> cascades;
        for (long i = 0; i < partitions; ++i) {
            const int cascade = pick(8) == 0 ? in.byte() : pick(8);
            cascades.push_back(cascade);
            bits.put(static_cast<unsigned long>(cascade & 7), 3);
            bits.put(cascade > 7, 1);
            if (cascade > 7) bits.put(static_cast<unsigned long>(cascade >> 3), 5);
        }
        for (const int cascade : cascades) {
            for (int stage = 0; stage < 8; ++stage) {
                if ((cascade & (1 << stage)) != 0) bits.put(static_cast<unsigned long>(vectorBook()), 8);
            }
        }
    }

    void mapping(BitWriter& bits, int floors, int residues) {
        const int submaps = 1 + pick(2);
        bits.put(0, 16);
        bits.put(submaps > 1, 1);
        if (submaps > 1) bits.put(static_cast<unsigned long>(submaps - 1), 4);
        const bool coupled = channels > 1 && pick(2) == 0;
        bits.put(coupled, 1);
        if (coupled) {
            const int channelBits = bitCount(static_cast<unsigned long>(channels - 1));
            const int magnitude = pick(2);
            bits.put(0, 8);
            bits.put(static_cast<unsigned long>(magnitude), channelBits);
            bits.put(static_cast<unsigned long>(1 - magnitude % 2), channelBits);
        }
        bits.put(0, 2);
        if (submaps > 1) {
            for (int c = 0; c < channels; ++c) bits.put(static_cast<unsigned long>(pick(submaps)), 4);
        }
        for (int s = 0; s < submaps; ++s) {
            bits.put(0, 8);
            bits.put(static_cast<unsigned long>(pick(floors)), 8);
            bits.put(static_cast<unsigned long>(pick(residues)), 8);
        }
    }

    std::string setup() {
        BitWriter bits;
        bits.headerTag(5);
        books.assign(static_cast<std::size_t>(1 + pick(8)), Book{});
        bits.put(static_cast<unsigned long>(books.size() - 1), 8);
        for (Book& book : books) codebook(bits, book);
        bits.put(0, 6);
        bits.put(0, 16);

        const int floors = 1 + pick(2);
        bits.put(static_cast<unsigned long>(floors - 1), 6);
        for (int i = 0; i < floors; ++i) {
            const bool zero = pick(4) == 0;
            bits.put(zero ? 0 : 1, 16);
            zero ? floor0(bits) : floor1(bits);
        }
        const int residues = 1 + pick(2);
        bits.put(static_cast<unsigned long>(residues - 1), 6);
        for (int i = 0; i < residues; ++i) residue(bits);
        const int mappings = 1 + pick(2);
        bits.put(static_cast<unsigned long>(mappings - 1), 6);
        for (int i = 0; i < mappings; ++i) mapping(bits, floors, residues);
        modeLong.assign(static_cast<std::size_t>(1 + pick(2)), false);
        bits.put(static_cast<unsigned long>(modeLong.size() - 1), 6);
        for (std::size_t i = 0; i < modeLong.size(); ++i) {
            modeLong[i] = pick(2) == 1;
            bits.put(modeLong[i], 1);
            bits.put(0, 16);
            bits.put(0, 16);
            bits.put(static_cast<unsigned long>(pick(mappings)), 8);
        }
        bits.put(1, 1);
        return bits.bytes();
    }

    // The mode, the window flags of a long block, a floor that mostly says "sound
    // here", then fuzz bytes as the floor's and residues' codewords.
    std::string audio(int mode) {
        BitWriter bits;
        bits.put(0, 1);
        bits.put(static_cast<unsigned long>(mode), bitCount(modeLong.size() - 1));
        if (modeLong[static_cast<std::size_t>(mode) % modeLong.size()]) bits.put(in.byte() & 3, 2);
        bits.put(pick(8) != 0, 1);
        const int payload = pick(128);
        for (int i = 0; i < payload; ++i) bits.put(in.byte(), 8);
        return bits.bytes();
    }

    ByteReader& in;
    int channels = 1;
    int blockSizes[2] = {64, 64};
    std::vector<Book> books;
    std::vector<bool> modeLong{false};
};

}  // namespace

std::string generateVorbis(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const int shape = in.byte();
    StreamGenerator generator(in);
    std::string file = generator.stream(1);
    if ((shape & 7) == 0) file += generator.stream(2);
    if ((shape & 0x38) == 0 && !file.empty()) {
        const std::size_t at = (static_cast<std::size_t>(in.byte()) << 8 | in.byte()) % file.size();
        file[at] = static_cast<char>(file[at] ^ (in.byte() | 1));
    }
    return file;
}

}  // namespace fuzz
