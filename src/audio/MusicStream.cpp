#include "audio/MusicStream.h"

#include "audio/VorbisHeaderCheck.h"

// Only ov_open is used, so the header's unused static callback tables are left out.
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Scales and clips the way libvorbisfile's own 16-bit output does.
int16_t toSample(float value) {
    const long scaled = std::lrint(value * 32768.0f);
    if (scaled > 32767) {
        return 32767;
    }
    if (scaled < -32768) {
        return -32768;
    }
    return static_cast<int16_t>(scaled);
}

}  // namespace

MusicStream::MusicStream() : decoder(std::make_unique<OggVorbis_File>()) {}

MusicStream::~MusicStream() {
    close();
}

MusicStream::OpenResult MusicStream::open(const std::string& path) {
    close();
    // Opening a FIFO without O_NONBLOCK would wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat status {};
    if (fd < 0 || fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        if (fd >= 0) {
            ::close(fd);
        }
        return OpenResult::Missing;
    }
    std::unique_ptr<std::FILE, FileCloser> file(fdopen(fd, "rb"));
    if (!file) {
        ::close(fd);
        return OpenResult::Missing;
    }
    if (!VorbisHeaderCheck::safeToDecode(file.get())) {
        return OpenResult::NotVorbis;
    }
    std::rewind(file.get());
    // A failed ov_open leaves the file to its caller; a successful one owns it and
    // closes it in ov_clear.
    if (ov_open(file.get(), decoder.get(), nullptr, 0) < 0) {
        return OpenResult::NotVorbis;
    }
    file.release();
    opened = true;
    const vorbis_info* info = ov_info(decoder.get(), -1);
    if (info == nullptr || info->channels > 2) {
        close();
        return OpenResult::TooManyChannels;
    }
    return OpenResult::Opened;
}

void MusicStream::close() {
    if (opened) {
        ov_clear(decoder.get());
        opened = false;
    }
}

long MusicStream::read(int16_t* out, long maxFrames) {
    if (!opened) {
        return OV_EINVAL;
    }
    float** pcm = nullptr;
    int section = 0;
    const long frames = ov_read_float(decoder.get(), &pcm, static_cast<int>(maxFrames), &section);
    if (frames <= 0) {
        return frames;
    }
    const vorbis_info* info = ov_info(decoder.get(), -1);
    if (info == nullptr || info->channels < 1) {
        return OV_EBADLINK;
    }
    // A chained file may switch to a link with more channels than the first; its
    // first two channels are played then.
    const float* left = pcm[0];
    const float* right = pcm[info->channels > 1 ? 1 : 0];
    for (long i = 0; i < frames; ++i) {
        out[2 * i] = toSample(left[i]);
        out[2 * i + 1] = toSample(right[i]);
    }
    return frames;
}

bool MusicStream::rewind() {
    return opened && ov_raw_seek(decoder.get(), 0) == 0;
}

long MusicStream::rate() {
    const vorbis_info* info = opened ? ov_info(decoder.get(), -1) : nullptr;
    return info != nullptr ? info->rate : 0;
}
