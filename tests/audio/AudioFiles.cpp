#include "AudioFiles.h"

#include "support/TempDataDir.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

void putLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    }
}

std::string littleEndian(const std::vector<int16_t>& samples) {
    std::string out;
    for (const int16_t sample : samples) {
        putLe(out, static_cast<uint16_t>(sample), 2);
    }
    return out;
}

}  // namespace

std::vector<int16_t> sineTone(int rate, int channels, long frames, double hertz, double amplitude) {
    std::vector<int16_t> samples;
    for (long i = 0; i < frames; ++i) {
        const double value = amplitude * std::sin(2.0 * M_PI * hertz * i / rate);
        samples.insert(samples.end(), channels, static_cast<int16_t>(std::lround(value * 32767)));
    }
    return samples;
}

std::string wavFile(int rate, int channels, const std::vector<int16_t>& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    putLe(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    putLe(out, 16, 4);
    putLe(out, 1, 2);
    putLe(out, channels, 2);
    putLe(out, rate, 4);
    putLe(out, rate * channels * 2, 4);
    putLe(out, channels * 2, 2);
    putLe(out, 16, 2);
    out += "data";
    putLe(out, dataBytes, 4);
    return out + littleEndian(samples);
}

void writeOggTone(const std::string& path, int rate, int channels, long frames, double hertz) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const std::string raw = path + ".raw";
    std::ofstream(raw, std::ios::binary) << littleEndian(sineTone(rate, channels, frames, hertz, 0.5));
    const std::string command = "oggenc -Q -r -B 16 -R " + std::to_string(rate) + " -C " + std::to_string(channels) +
                                " -o '" + path + "' '" + raw + "'";
    if (std::system(command.c_str()) != 0) {
        std::filesystem::remove(path);
    }
    std::filesystem::remove(raw);
}

std::string recordToWaveFile(const TempDataDir& dir) {
    const std::string wavePath = dir.path() + "/output.wav";
    dir.write("alsoft.conf",
              "drivers=wave\nfrequency=44100\nchannels=stereo\nsample-type=int16\n[wave]\nfile=" + wavePath + "\n");
    setenv("ALSOFT_DRIVERS", "wave", 1);
    setenv("ALSOFT_CONF", (dir.path() + "/alsoft.conf").c_str(), 1);
    return wavePath;
}

Recording readRecording(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The device writes 16-bit stereo at 44.1 kHz, as recordToWaveFile asks it to.
    Recording recording{44100, 2, {}};
    const std::size_t data = bytes.find("data");
    for (std::size_t i = data + 8; data != std::string::npos && i + 1 < bytes.size(); i += 2) {
        const auto low = static_cast<unsigned char>(bytes[i]);
        const auto high = static_cast<unsigned char>(bytes[i + 1]);
        recording.samples.push_back(static_cast<int16_t>(low | (high << 8)));
    }
    return recording;
}

double Recording::seconds() const {
    return static_cast<double>(samples.size()) / channels / rate;
}

double Recording::peak(double fromSeconds, double toSeconds) const {
    const std::size_t from = static_cast<std::size_t>(std::max(0.0, fromSeconds) * rate) * channels;
    const std::size_t to = std::min(samples.size(), static_cast<std::size_t>(std::max(0.0, toSeconds) * rate) * channels);
    int largest = 0;
    for (std::size_t i = from; i < to; ++i) {
        largest = std::max(largest, std::abs(static_cast<int>(samples[i])));
    }
    return largest / 32768.0;
}

double Recording::firstSoundAbove(double fraction) const {
    const auto loud = std::find_if(samples.begin(), samples.end(),
                                   [fraction](int16_t sample) { return std::abs(sample / 32768.0) > fraction; });
    return loud == samples.end() ? -1.0 : static_cast<double>((loud - samples.begin()) / channels) / rate;
}

double Recording::pitch(double fromSeconds, double toSeconds) const {
    const std::size_t from = static_cast<std::size_t>(fromSeconds * rate);
    const std::size_t to = std::min(samples.size() / channels, static_cast<std::size_t>(toSeconds * rate));
    int crossings = 0;
    for (std::size_t frame = from + 1; frame < to; ++frame) {
        crossings += samples[(frame - 1) * channels] < 0 && samples[frame * channels] >= 0;
    }
    return to > from ? crossings * static_cast<double>(rate) / (to - from) : 0.0;
}
