// Music files made to hurt. libvorbis runs in the music decoder's own process, so a file
// that it refuses, that crashes it or that hangs it costs the music alone: one line
// naming the file, silence, and the next track plays.
#include "audio/MusicDecoder.h"
#include "audio/MusicStream.h"
#include "audio/SoundManager.h"
#include "core/Settings.h"
#include "support/TempDataDir.h"

#include <AL/alut.h>
#include <gtest/gtest.h>
#include <ogg/ogg.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;
using Fields = std::vector<std::pair<long, int>>;

std::string packet(const Fields& fields) {
    oggpack_buffer bits;
    oggpack_writeinit(&bits);
    for (const auto& [value, width] : fields) oggpack_write(&bits, static_cast<unsigned long>(value), width);
    std::string out(reinterpret_cast<char*>(oggpack_get_buffer(&bits)), static_cast<std::size_t>(oggpack_bytes(&bits)));
    oggpack_writeclear(&bits);
    return out;
}

Fields tagged(int type, const Fields& body) {
    Fields out{{type, 8}};
    for (const char c : std::string("vorbis")) out.push_back({c, 8});
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// A Vorbis stream written bit by bit, three headers and seven audio packets: 64-sample
// blocks, one floor 1 with only its end posts, one residue 0 whose only stage book has
// `stageDimension` dimensions, and audio packets that reach that residue. libvorbis
// accepts a dimension of 0 and divides by it.
std::vector<std::string> craftedPackets(int stageDimension) {
    std::vector<std::string> out;
    // Version, one channel at 8 kHz, no bit rates, both block sizes 64, framing.
    out.push_back(packet(tagged(1, {{0, 32}, {1, 8}, {8000, 32}, {0, 32}, {0, 32}, {0, 32}, {6, 4}, {6, 4}, {1, 1}})));
    out.push_back(packet(tagged(3, {{0, 32}, {0, 32}, {1, 1}})));
    out.push_back(packet(tagged(
        5, {{1, 8},
            // Book 0 picks the partition class: one dimension, two one-bit words.
            {0x564342, 24}, {1, 16}, {2, 24}, {0, 1}, {0, 1}, {0, 5}, {0, 5}, {0, 4},
            // Book 1 decodes the residue values: two listed vectors of the given dimension.
            {0x564342, 24}, {stageDimension, 16}, {2, 24}, {0, 1}, {0, 1}, {0, 5}, {0, 5}, {2, 4},
            {0, 32}, {0, 32}, {0, 4}, {0, 1}, {0, stageDimension == 0 ? 0 : 2},
            // Time, floor 1 over 32 bins, residue 0 over 32 bins in one partition of two
            // classes, the first decoded by book 1; one mapping, one mode.
            {0, 6}, {0, 16}, {0, 6}, {1, 16}, {0, 5}, {0, 2}, {5, 4},
            {0, 6}, {0, 16}, {0, 24}, {32, 24}, {31, 24}, {1, 6}, {0, 8}, {1, 3}, {0, 1}, {0, 3}, {0, 1}, {1, 8},
            {0, 6}, {0, 16}, {0, 1}, {0, 1}, {0, 2}, {0, 8}, {0, 8}, {0, 8},
            {0, 6}, {0, 1}, {0, 16}, {0, 16}, {0, 8}, {1, 1}})));
    // Audio: floor present with both posts at 100, class 0, then residue values.
    for (int i = 0; i < 7; ++i) out.push_back(packet({{0, 1}, {1, 1}, {100, 8}, {100, 8}, {0, 1}, {0, 32}, {0, 32}}));
    return out;
}

// One logical Ogg stream, each packet on a page of its own.
class OggStream {
public:
    explicit OggStream(int serial) { ogg_stream_init(&stream, serial); }
    ~OggStream() { ogg_stream_clear(&stream); }
    OggStream(const OggStream&) = delete;
    OggStream& operator=(const OggStream&) = delete;

    std::string page(const std::string& bytes, bool last = false) {
        ogg_packet packet{reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data())),
                          static_cast<long>(bytes.size()), number == 0, last, number < 3 ? 0 : 64 * (number - 2),
                          number};
        ++number;
        ogg_stream_packetin(&stream, &packet);
        std::string out;
        ogg_page page;
        while (ogg_stream_flush(&stream, &page) != 0) {
            out.append(reinterpret_cast<char*>(page.header), static_cast<std::size_t>(page.header_len));
            out.append(reinterpret_cast<char*>(page.body), static_cast<std::size_t>(page.body_len));
        }
        return out;
    }
    std::string pages(const std::vector<std::string>& packets, std::size_t from, std::size_t to, bool ends) {
        std::string out;
        for (std::size_t i = from; i < to; ++i) out += page(packets[i], ends && i + 1 == to);
        return out;
    }

private:
    ogg_stream_state stream{};
    long number = 0;
};

std::string craftedVorbis(int stageDimension) {
    const std::vector<std::string> packets = craftedPackets(stageDimension);
    return OggStream(1).pages(packets, 0, packets.size(), true);
}

// Read in order, as a player and the header check read it, this is a sound stream, a
// stream that is not Vorbis, then a second sound stream. Inside a page of the second
// stream hides a copy of the third one's headers with a stage book of dimension 0.
// libvorbisfile looks for the second link by seeking into the middle of the file, finds
// the hidden copy, and decodes the third stream's audio with its setup.
std::string hiddenSetupVorbis() {
    const std::vector<std::string> sound = craftedPackets(1);
    const std::vector<std::string> broken = craftedPackets(0);
    OggStream first(1);
    OggStream filler(3);
    OggStream hidden(2);
    OggStream second(2);
    std::string file = first.page(sound[0]);
    file += filler.page("not vorbis");
    file += first.pages(sound, 1, sound.size(), true);
    file += filler.page(std::string(30000, '\0'));
    file += filler.page(std::string(60000, '\0') + hidden.pages(broken, 0, 3, false), true);
    return file + second.pages(sound, 0, sound.size(), true);
}

// The lines left once those for single failed reads, which the decoder reports as it
// goes on, are taken out.
std::string withoutReadErrors(const std::string& output) {
    std::string kept;
    for (std::size_t at = 0; at < output.size();) {
        const std::size_t end = std::min(output.find('\n', at), output.size() - 1) + 1;
        const std::string line = output.substr(at, end - at);
        if (line.rfind("Error streaming music: ", 0) != 0) kept += line;
        at = end;
    }
    return kept;
}

// Decodes with the decoder program's own calls in this process.
void decodeHere(const std::string& path) {
    MusicStream stream;
    if (stream.open(path) == MusicStream::OpenResult::Opened) {
        std::array<int16_t, 2 * 4096> frames{};
        while (stream.read(frames.data(), 4096) > 0) {
        }
    }
    std::exit(0);
}

class HostileMusic : public testing::Test {
protected:
    void SetUp() override {
        alutInitWithoutContext(nullptr, nullptr);
        Settings::instance().setInt("music", 1);
        dir.write("music/tone.raw", std::string(2 * 2 * 22050, '\x10'));
        ASSERT_EQ(std::system("oggenc -Q -r -B 16 -R 22050 -C 2 -o music/good.ogg music/tone.raw"), 0);
    }

    // Ticks until the music stops or the time passes; what the game printed meanwhile.
    std::string playUntilSilent(const std::string& file, int milliseconds) {
        CaptureStdout();
        SoundManager& sound = SoundManager::instance();
        sound.playMusic(file);
        for (int waited = 0; waited < milliseconds && sound.isMusicPlaying(); waited += 20) {
            sound.updateMusic();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return GetCapturedStdout();
    }

    // The track is still playing after that long, with nothing said.
    void expectPlays(const std::string& file) {
        EXPECT_EQ(playUntilSilent(file, 600), "");
        EXPECT_TRUE(SoundManager::instance().isMusicPlaying()) << file;
    }

    TempDataDir dir;
};

}  // namespace

TEST_F(HostileMusic, RefusedOrCrashingFilesAreReportedOnceAndTheNextTrackPlays) {
    dir.write("music/tone6.raw", std::string(6 * 2 * 2205, '\x10'));
    ASSERT_EQ(std::system("oggenc -Q -r -B 16 -R 22050 -C 6 -o music/surround.ogg music/tone6.raw"), 0);
    dir.write("music/corrupt.ogg", "OggS but not really a stream of any kind");
    dir.write("music/crafted.ogg", craftedVorbis(0));
    dir.write("music/hidden.ogg", hiddenSetupVorbis());
    ASSERT_EQ(mkfifo("music/fifo.ogg", 0600), 0);
    // The hidden setup passes the header check and still brings libvorbis down. Under
    // AddressSanitizer the fault is reported and ends the child with a status.
    const auto faulted = [](int status) { return WIFSIGNALED(status) ? WTERMSIG(status) == SIGFPE : status != 0; };
    EXPECT_EXIT(decodeHere("music/hidden.ogg"), faulted, "");

    std::vector<std::pair<std::string, std::string>> cases = {
        {"missing.ogg", "Couldn't open missing.ogg.\n"},
        {"fifo.ogg", "Couldn't open fifo.ogg.\n"},
        {"corrupt.ogg", "File does not appear to be an Ogg bitstream: corrupt.ogg.\n"},
        {"crafted.ogg", "File does not appear to be an Ogg bitstream: crafted.ogg.\n"},
        {"surround.ogg", "Music must be mono or stereo: surround.ogg.\n"},
        {"hidden.ogg", "File does not appear to be an Ogg bitstream: hidden.ogg.\n"},
    };
    // Every Ogg file the fuzzers found a fault with: crashes and a hang inside libvorbis.
    for (const auto& kept : std::filesystem::directory_iterator(MB_OGG_REGRESSIONS)) {
        const std::string name = "kept-" + kept.path().filename().string();
        std::filesystem::copy_file(kept.path(), "music/" + name);
        cases.push_back({name, "File does not appear to be an Ogg bitstream: " + name + ".\n"});
    }
    for (const auto& [file, message] : cases) {
        expectPlays("good.ogg");
        EXPECT_EQ(withoutReadErrors(playUntilSilent(file, 8000)), message);
        EXPECT_FALSE(SoundManager::instance().isMusicPlaying()) << file;
    }
    expectPlays("good.ogg");
}

// A sound track followed by a terabyte of nothing (sparse, so it costs no disk): the
// decoder reads on for an age before it can answer.
TEST_F(HostileMusic, StuckDecoderIsStoppedAfterItsTimeOutAndReaped) {
    std::filesystem::copy_file("music/good.ogg", "music/endless.ogg");
    std::filesystem::resize_file("music/endless.ogg", std::uintmax_t{1} << 40);

    EXPECT_EQ(playUntilSilent("endless.ogg", 15000), "File does not appear to be an Ogg bitstream: endless.ogg.\n");
    EXPECT_FALSE(SoundManager::instance().isMusicPlaying());
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "a decoder was left unreaped";
    EXPECT_EQ(errno, ECHILD);
    expectPlays("good.ogg");
}

TEST_F(HostileMusic, WithoutItsDecoderTheGameGoesOnSilently) {
    setenv("MARGIN_BRAWLER_MUSIC_DECODER", "/nonexistent/margin-music-decoder", 1);
    EXPECT_EQ(playUntilSilent("good.ogg", 200),
              "Couldn't start the music decoder: /nonexistent/margin-music-decoder: No such file or directory.\n");
    EXPECT_FALSE(SoundManager::instance().isMusicPlaying());
    unsetenv("MARGIN_BRAWLER_MUSIC_DECODER");
    expectPlays("good.ogg");
}

// A file that makes libvorbis allocate without end meets the decoder's own limits: it
// runs with a bounded address space and cannot write files. AddressSanitizer builds
// reserve terabytes up front and leave the limits out.
TEST_F(HostileMusic, TheDecoderRunsWithinItsMemoryAndFileLimits) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "sanitized decoders run without an address-space limit";
#endif
    int toGame[2];
    ASSERT_EQ(pipe(toGame), 0);
    const std::string program = MusicDecoder::program();
    ASSERT_FALSE(program.empty());
    const pid_t decoder = fork();
    if (decoder == 0) {
        dup2(toGame[1], STDOUT_FILENO);
        execl(program.c_str(), program.c_str(), "music/good.ogg", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(toGame[1]);
    char first[8];
    ASSERT_EQ(read(toGame[0], first, sizeof first), static_cast<ssize_t>(sizeof first)) << "the decoder answers";
    std::ifstream limitsFile("/proc/" + std::to_string(decoder) + "/limits");
    const std::string limits((std::istreambuf_iterator<char>(limitsFile)), std::istreambuf_iterator<char>());
    kill(decoder, SIGKILL);
    waitpid(decoder, nullptr, 0);
    close(toGame[0]);
    const auto limitOf = [&limits](const std::string& name) {
        const std::size_t at = limits.find(name);
        std::istringstream row(at == std::string::npos ? "" : limits.substr(at + name.size()));
        std::string soft;
        row >> soft;
        return soft;
    };
    EXPECT_EQ(limitOf("Max address space"), std::to_string(256 << 20));
    EXPECT_EQ(limitOf("Max file size"), "0");
}
