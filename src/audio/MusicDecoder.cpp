#include "audio/MusicDecoder.h"

#include "audio/DecoderProcess.h"
#include "audio/MusicPipe.h"
#include "audio/MusicStream.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

constexpr const char* kProgramName = "margin-music-decoder";
constexpr const char* kProgramVariable = "MARGIN_BRAWLER_MUSIC_DECODER";
// A decoder keeps far ahead of playback: one that leaves the game waiting this long,
// from its start or in the middle of a track, is stuck. Long enough for a loaded
// machine to start a program.
constexpr std::chrono::seconds kPatience{5};

bool runnable(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string MusicDecoder::program() {
    if (const char* chosen = std::getenv(kProgramVariable); chosen != nullptr && *chosen != '\0') {
        return chosen;
    }
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return "";
    }
    const fs::path folder = self.parent_path();
    const fs::path installed = folder.parent_path() / "lib" / "margin-brawler" / kProgramName;
    for (const fs::path& candidate : {folder / kProgramName, installed}) {
        if (runnable(candidate)) {
            return candidate.string();
        }
    }
#ifdef MB_BUILD_TREE
    const std::string tree = MB_BUILD_TREE "/";
    if (self.string().compare(0, tree.size(), tree) == 0 && runnable(tree + kProgramName)) {
        return tree + kProgramName;
    }
#endif
    return "";
}

MusicDecoder::MusicDecoder(const std::string& path) {
    const std::string found = program();
    if (found.empty()) {
        current = State::NotStarted;
        notStarted = std::string(kProgramName) + " is neither beside the game nor in ../lib/margin-brawler";
        return;
    }
    process = std::make_unique<DecoderProcess>(found, path);
    if (!process->started()) {
        current = State::NotStarted;
        notStarted = found + ": " + process->startFailure();
        process.reset();
    }
}

MusicDecoder::~MusicDecoder() = default;

void MusicDecoder::fail() {
    current = State::Broken;
    process.reset();
}

bool MusicDecoder::receive() {
    if (!process) {
        return false;
    }
    if (inboxStart > 0) {
        std::memmove(inbox.data(), inbox.data() + inboxStart, waiting());
        inboxEnd -= inboxStart;
        inboxStart = 0;
    }
    if (inboxEnd == inbox.size()) {
        return false;  // a full inbox always holds a whole header or frame to take first
    }
    const long got = process->readAvailable(inbox.data() + inboxEnd, inbox.size() - inboxEnd);
    if (got == DecoderProcess::NothingYet) {
        return false;
    }
    if (got == 0) {
        // The pipe closed with the track neither refused nor ended: the decoder died.
        fail();
        return false;
    }
    inboxEnd += static_cast<std::size_t>(got);
    starved = false;
    return true;
}

int32_t MusicDecoder::word() {
    int32_t value = 0;
    std::memcpy(&value, inbox.data() + inboxStart, sizeof value);
    inboxStart += sizeof value;
    return value;
}

long MusicDecoder::read(int16_t* out, long maxFrames) {
    constexpr std::size_t frameBytes = 2 * sizeof(int16_t);
    long copied = 0;
    while (copied < maxFrames && (current == State::Starting || current == State::Playing)) {
        if (current == State::Starting) {
            if (waiting() < 2 * sizeof(int32_t)) {
                if (!receive()) {
                    break;
                }
                continue;
            }
            const int32_t magic = word();
            const int32_t opened = word();
            if (magic != MusicPipe::magic) {
                fail();
            } else if (opened == static_cast<int32_t>(MusicStream::OpenResult::Opened)) {
                current = State::Playing;
            } else if (opened == static_cast<int32_t>(MusicStream::OpenResult::Missing)) {
                current = State::Missing;
            } else if (opened == static_cast<int32_t>(MusicStream::OpenResult::NotVorbis)) {
                current = State::NotVorbis;
            } else if (opened == static_cast<int32_t>(MusicStream::OpenResult::TooManyChannels)) {
                current = State::TooManyChannels;
            } else {
                fail();
            }
            continue;
        }
        if (framesLeftInRecord > 0) {
            const long whole = static_cast<long>(waiting() / frameBytes);
            const long take = std::min({framesLeftInRecord, maxFrames - copied, whole});
            if (take == 0) {
                if (!receive()) {
                    break;
                }
                continue;
            }
            std::memcpy(out + 2 * copied, inbox.data() + inboxStart, static_cast<std::size_t>(take) * frameBytes);
            inboxStart += static_cast<std::size_t>(take) * frameBytes;
            copied += take;
            framesLeftInRecord -= take;
            lastRate = recordRate;
            continue;
        }
        if (waiting() < 2 * sizeof(int32_t)) {
            if (!receive()) {
                break;
            }
            continue;
        }
        int32_t header[2];
        std::memcpy(header, inbox.data() + inboxStart, sizeof header);
        if (header[0] < 0 && copied > 0) {
            break;  // the frames before the failed read go first
        }
        inboxStart += sizeof header;
        if (header[0] > 0 && header[0] <= MusicPipe::mostFrames && header[1] >= 1 && header[1] <= MusicPipe::mostRate) {
            framesLeftInRecord = header[0];
            recordRate = header[1];
            errorsInARow = 0;
        } else if (header[0] == 0 && header[1] == 0) {
            current = State::Ended;
            process.reset();
        } else if (header[0] < 0 && header[0] >= MusicPipe::leastCode && header[1] == 0 &&
                   ++errorsInARow <= MusicPipe::mostErrorsInARow) {
            return header[0];
        } else {
            fail();
        }
    }

    if (copied < maxFrames && (current == State::Starting || current == State::Playing)) {
        const Clock::time_point now = Clock::now();
        if (!starved) {
            starved = true;
            starvedSince = now;
        } else if (now - starvedSince >= kPatience) {
            fail();
        }
    } else {
        starved = false;
    }
    return copied;
}
