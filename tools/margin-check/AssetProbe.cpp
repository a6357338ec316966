#include "AssetProbe.h"

#include <AL/alut.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <thread>

#include "audio/MusicDecoder.h"
#include "render/JpegDecoder.h"
#include "render/PngDecoder.h"

namespace {

// The decoders tell the player on the console why a picture failed; the checker says
// it in its own report, so their words are kept off the console while they work.
class QuietConsole {
public:
    QuietConsole() {
        flush();
        const int nothing = open("/dev/null", O_WRONLY);
        for (int fd : {1, 2}) {
            saved[fd - 1] = dup(fd);
            dup2(nothing, fd);
        }
        close(nothing);
    }
    ~QuietConsole() {
        flush();
        for (int fd : {1, 2}) {
            dup2(saved[fd - 1], fd);
            close(saved[fd - 1]);
        }
    }
    QuietConsole(const QuietConsole&) = delete;
    QuietConsole& operator=(const QuietConsole&) = delete;

private:
    static void flush() {
        std::cout.flush();
        std::cerr.flush();
        std::fflush(nullptr);
    }
    int saved[2] = {-1, -1};
};

std::string missing(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return "is missing";
    }
    return std::filesystem::is_directory(path, error) ? "is a folder" : "";
}

}  // namespace

// ALUT's loaders want a current context, though they only decode. OpenAL Soft's null
// output gives one without touching a sound card (machines that check data have none).
AssetProbe::AssetProbe() {
    setenv("ALSOFT_DRIVERS", "null", 1);
    audio = alutInit(nullptr, nullptr) == AL_TRUE;
}

AssetProbe::~AssetProbe() { alutExit(); }

std::string AssetProbe::picture(const std::string& path) const {
    if (const std::string absent = missing(path); !absent.empty()) {
        return absent;
    }
    // The game picks the decoder by the same rule.
    const bool png = path.find(".png") != std::string::npos;
    std::optional<Image> image;
    {
        const QuietConsole quiet;
        image = png ? PngDecoder::decode(path) : JpegDecoder::decode(path);
    }
    if (!image || image->empty()) {
        return png ? "does not decode as a PNG picture" : "does not decode as a JPEG picture";
    }
    return "";
}

std::string AssetProbe::sound(const std::string& path) const {
    if (const std::string absent = missing(path); !absent.empty()) {
        return absent;
    }
    if (!audio) {
        return "cannot be tried: OpenAL has no output, not even a silent one";
    }
    ALenum format = 0;
    ALsizei size = 0;
    ALfloat frequency = 0.0f;
    void* samples = alutLoadMemoryFromFile(path.c_str(), &format, &size, &frequency);
    if (samples == nullptr) {
        return std::string("does not load: ") + alutGetErrorString(alutGetError());
    }
    std::free(samples);
    return "";
}

std::string AssetProbe::music(const std::string& path) const {
    // Through the game's own decoder process, up to the first sound, so a file that
    // crashes or hangs libvorbis is reported rather than taking the checker down.
    MusicDecoder decoder(path);
    std::array<int16_t, 2 * 1024> frames{};
    for (;;) {
        const bool sounded = decoder.read(frames.data(), 1024) > 0;
        const MusicDecoder::State state = decoder.state();
        if (sounded || (state != MusicDecoder::State::Starting && state != MusicDecoder::State::Playing)) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    switch (decoder.state()) {
    case MusicDecoder::State::Starting:
    case MusicDecoder::State::Playing:
    case MusicDecoder::State::Ended:
        return "";
    case MusicDecoder::State::Missing:
        return "is missing";
    case MusicDecoder::State::NotVorbis:
        return "is not Ogg Vorbis";
    case MusicDecoder::State::TooManyChannels:
        return "has more than two channels";
    case MusicDecoder::State::Broken:
        return "is not Ogg Vorbis: the music decoder failed on it";
    case MusicDecoder::State::NotStarted:
        return "cannot be tried: " + decoder.startFailure();
    }
    return "";
}
