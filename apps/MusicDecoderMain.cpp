// margin-music-decoder FILE: decodes one Ogg Vorbis track for the game and writes it to
// standard output in the format of audio/MusicPipe.h, starting the track over at its
// end, until the game closes the pipe or kills it. libvorbis runs only here, so that a
// crafted file that crashes it, hangs it or makes it allocate without end costs the
// game its music and nothing else. The game starts it with standard input on /dev/null
// and no other descriptor of its own.
#include "audio/MusicPipe.h"
#include "audio/MusicStream.h"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>

namespace {

// A real track decodes in a few megabytes; the rest is there for libvorbis's own setup
// tables of unusual but honest files.
constexpr rlim_t kMostAddressSpace = rlim_t{256} << 20;
constexpr rlim_t kMostOpenFiles = 16;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

void limit(int resource, rlim_t most) {
    const rlimit value{most, most};
    setrlimit(resource, &value);
}

// Dies with the game, never dumps core, and cannot take more memory, files or processes
// than decoding needs. AddressSanitizer reserves terabytes of address space and starts
// a symbolizer to report, so its builds keep only the limits it can live with.
void confine() {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    prctl(PR_SET_DUMPABLE, 0);
    limit(RLIMIT_CORE, 0);
    limit(RLIMIT_NOFILE, kMostOpenFiles);
    if (!kSanitized) {
        limit(RLIMIT_AS, kMostAddressSpace);
        limit(RLIMIT_FSIZE, 0);
        limit(RLIMIT_NPROC, 0);
    }
}

// False once the game has closed its end.
bool send(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(STDOUT_FILENO, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool sendRecord(int32_t first, int32_t second) {
    const int32_t words[2] = {first, second};
    return send(words, sizeof words);
}

bool sendEnd() { return sendRecord(0, 0); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: margin-music-decoder FILE (started by the game)\n");
        return 2;
    }
    confine();
    MusicStream stream;
    const MusicStream::OpenResult opened = stream.open(argv[1]);
    if (!sendRecord(MusicPipe::magic, static_cast<int32_t>(opened)) || opened != MusicStream::OpenResult::Opened) {
        return 0;
    }

    std::array<int16_t, 2 * MusicPipe::mostFrames> frames{};
    bool decodedSinceStart = false;
    int errorsInARow = 0;
    for (;;) {
        const long result = stream.read(frames.data(), MusicPipe::mostFrames);
        if (result > 0) {
            const long rate = stream.rate();
            if (rate < 1 || rate > MusicPipe::mostRate) {
                sendEnd();
                return 0;
            }
            decodedSinceStart = true;
            errorsInARow = 0;
            if (!sendRecord(static_cast<int32_t>(result), static_cast<int32_t>(rate)) ||
                !send(frames.data(), static_cast<std::size_t>(result) * 2 * sizeof(int16_t))) {
                return 0;
            }
        } else if (result == 0) {
            // A track that gave nothing since it last started over would loop for ever.
            if (!decodedSinceStart || !stream.rewind()) {
                sendEnd();
                return 0;
            }
            decodedSinceStart = false;
        } else {
            const int32_t code = result < MusicPipe::leastCode ? MusicPipe::leastCode : static_cast<int32_t>(result);
            if (!sendRecord(code, 0)) {
                return 0;
            }
            if (++errorsInARow >= MusicPipe::mostErrorsInARow) {
                sendEnd();
                return 0;
            }
        }
    }
}
