// Every sound the game ships is checked by numbers, since nobody can listen here: music
// tracks play equally loud (EBU R128, measured by ffmpeg's meter), never clip, carry no
// DC offset and loop without a step; effects are short and start at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kRate = 44100;
constexpr double kFullScale = 32768.0;

std::string run(const std::string& command) {
    std::string output;
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return output;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0) output.append(buffer, n);
    return output;
}

// The file decoded by ffmpeg into interleaved 16-bit samples at 44.1 kHz.
std::vector<int16_t> decode(const fs::path& file, int channels) {
    const std::string bytes = run("ffmpeg -v error -i '" + file.string() + "' -f s16le -acodec pcm_s16le -ar " +
                                  std::to_string(kRate) + " -ac " + std::to_string(channels) + " -");
    std::vector<int16_t> samples(bytes.size() / 2);
    std::copy_n(bytes.data(), samples.size() * 2, reinterpret_cast<char*>(samples.data()));
    return samples;
}

struct Loudness {
    double integrated = 0.0;  // LUFS
    double truePeak = 0.0;    // dBFS
};

// The summary of ffmpeg's EBU R128 meter: the last "I:" and "Peak:" it prints.
Loudness measure(const fs::path& file) {
    const std::string report = run("ffmpeg -nostats -hide_banner -i '" + file.string() +
                                   "' -filter_complex ebur128=peak=true:framelog=verbose -f null - 2>&1");
    Loudness result;
    const std::size_t summary = report.rfind("Summary:");
    EXPECT_NE(summary, std::string::npos) << file << ": " << report;
    if (summary == std::string::npos) return result;
    const auto valueAfter = [&](const std::string& label) {
        const std::size_t at = report.find(label, summary);
        return at == std::string::npos ? NAN : std::stod(report.substr(at + label.size()));
    };
    result.integrated = valueAfter("I:");
    result.truePeak = valueAfter("Peak:");
    return result;
}

std::vector<fs::path> filesIn(const std::string& folder, const std::string& extension) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(MB_DATA_DIR) / folder)) {
        if (entry.path().extension() == extension) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Mean of one channel of interleaved samples, as a fraction of full scale.
double dcOffset(const std::vector<int16_t>& samples, int channels, int channel) {
    double sum = 0.0;
    for (std::size_t i = channel; i < samples.size(); i += channels) sum += samples[i];
    return sum / (static_cast<double>(samples.size() / channels) * kFullScale);
}

TEST(SoundLevelsTest, MusicPlaysEquallyLoudWithoutClippingAndLoopsWithoutAStep) {
    const std::vector<fs::path> tracks = filesIn("music", ".ogg");
    ASSERT_GE(tracks.size(), 5u);
    std::map<std::string, double> loudness;
    int longTracks = 0;
    for (const fs::path& track : tracks) {
        const Loudness level = measure(track);
        loudness[track.filename()] = level.integrated;
        std::cout << track.filename() << ": " << level.integrated << " LUFS, true peak " << level.truePeak
                  << " dBFS\n";
        EXPECT_LT(level.truePeak, -1.0) << track;

        const std::vector<int16_t> samples = decode(track, 2);
        ASSERT_GT(samples.size(), 4u) << track;
        longTracks += samples.size() / 2 >= 60u * kRate;
        for (int channel = 0; channel < 2; ++channel) {
            EXPECT_LT(std::abs(dcOffset(samples, 2, channel)), 0.001) << track << " channel " << channel;
            // The game rewinds at the end, so the last frame runs straight into the first.
            const int first = samples[channel];
            const int last = samples[samples.size() - 2 + channel];
            EXPECT_LT(std::abs(last - first), 0.01 * kFullScale) << track << " channel " << channel;
        }
    }
    EXPECT_GE(longTracks, 5) << "tracks of at least a minute";
    const auto [quietest, loudest] = std::minmax_element(
        loudness.begin(), loudness.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    EXPECT_LE(loudest->second - quietest->second, 1.0) << quietest->first << " against " << loudest->first;
}

TEST(SoundLevelsTest, EffectsAreShortStartAtOnceAndCarryNoOffset) {
    const std::vector<fs::path> effects = filesIn("sounds", ".wav");
    ASSERT_FALSE(effects.empty());
    for (const fs::path& effect : effects) {
        const std::vector<int16_t> samples = decode(effect, 1);
        ASSERT_FALSE(samples.empty()) << effect;
        EXPECT_LT(samples.size(), static_cast<std::size_t>(kRate)) << effect << " lasts a second or more";
        EXPECT_LT(std::abs(dcOffset(samples, 1, 0)), 0.001) << effect;

        // Attack: from the first sample above 1 % of full scale to the first that reaches
        // half of the loudest.
        int peak = 0;
        for (const int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
        const auto onset = std::find_if(samples.begin(), samples.end(),
                                        [](int16_t s) { return std::abs(static_cast<int>(s)) > 0.01 * kFullScale; });
        const auto loud = std::find_if(onset, samples.end(),
                                       [&](int16_t s) { return 2 * std::abs(static_cast<int>(s)) >= peak; });
        const double attackMs = 1000.0 * static_cast<double>(loud - onset) / kRate;
        std::cout << effect.filename() << ": " << 1000.0 * samples.size() / kRate << " ms, attack " << attackMs
                  << " ms\n";
        EXPECT_LT(attackMs, 10.0) << effect;
    }
}

}  // namespace
