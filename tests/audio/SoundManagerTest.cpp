#include "audio/SoundFile.h"
#include "audio/SoundManager.h"
#include "core/Settings.h"
#include "support/TempDataDir.h"

#include <AL/alut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

// Sound files the tests make for themselves, played through OpenAL's wave-file driver,
// whose recording shows what a player would have heard.
namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

void pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// A sine tone at half of full scale as 16-bit little-endian samples, alike on every channel.
std::string tone(int rate, int channels, long frames, double hertz) {
    std::string out;
    for (long i = 0; i < frames; ++i) {
        const auto sample = static_cast<int16_t>(std::lround(16383 * std::sin(2.0 * M_PI * hertz * i / rate)));
        const char low = static_cast<char>(sample & 0xff), high = static_cast<char>((sample >> 8) & 0xff);
        for (int c = 0; c < channels; ++c) out += {low, high};
    }
    return out;
}

// A mono 16-bit PCM RIFF/WAVE file of a sine tone.
std::string wavFile(int rate, int frames, double hertz) {
    const std::string data = tone(rate, 1, frames, hertz);
    std::string out;
    const auto put = [&out](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    };
    out += "RIFF";
    put(36 + data.size(), 4);
    out += "WAVEfmt ";
    // Chunk size, PCM, one channel, frame rate, byte rate, bytes per frame, bits per sample.
    put(16, 4), put(1, 2), put(1, 2), put(rate, 4), put(rate * 2, 4), put(2, 2), put(16, 2);
    out += "data";
    put(data.size(), 4);
    return out + data;
}

// What the wave driver wrote: 16-bit stereo at 44.1 kHz, as recordToWaveFile asks.
struct Recording {
    std::vector<int16_t> samples;

    double seconds() const { return samples.size() / 2 / 44100.0; }
    // Largest absolute sample between the two times, as a fraction of full scale.
    double peak(double from, double to) const {
        const auto index = [this](double time) {
            return std::min(samples.size(), static_cast<std::size_t>(std::max(0.0, time) * 44100) * 2);
        };
        int largest = 0;
        for (std::size_t i = index(from); i < index(to); ++i) largest = std::max(largest, std::abs(int{samples[i]}));
        return largest / 32768.0;
    }
    // The time of the first sample louder than a tenth of full scale, or -1.
    double start() const {
        const auto loud =
            std::find_if(samples.begin(), samples.end(), [](int16_t sample) { return std::abs(sample) > 3277; });
        return loud == samples.end() ? -1.0 : (loud - samples.begin()) / 2 / 44100.0;
    }
};

class SoundManagerTest : public testing::Test {
protected:
    void SetUp() override {
        alutInitWithoutContext(nullptr, nullptr);
        Settings::instance().setInt("music", 1);
        dir.write("sounds/low.wav", wavFile(11025, 11025, 440));
        dir.write("sounds/high.wav", wavFile(22050, 22050, 880));
    }

    // Must come before the SoundManager is first used; the file is complete once the manager shut down.
    void recordToWaveFile() const {
        dir.write("alsoft.conf", "drivers=wave\nfrequency=44100\nchannels=stereo\nsample-type=int16\n[wave]\nfile=" +
                                     dir.path() + "/output.wav\n");
        setenv("ALSOFT_DRIVERS", "wave", 1);
        setenv("ALSOFT_CONF", (dir.path() + "/alsoft.conf").c_str(), 1);
    }

    Recording recording() const {
        std::ifstream in(dir.path() + "/output.wav", std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        Recording out;
        const std::size_t data = bytes.find("data");
        for (std::size_t i = data + 8; data != std::string::npos && i + 1 < bytes.size(); i += 2) {
            const auto low = static_cast<unsigned char>(bytes[i]), high = static_cast<unsigned char>(bytes[i + 1]);
            out.samples.push_back(static_cast<int16_t>(low | high << 8));
        }
        return out;
    }

    // An Ogg Vorbis sine tone made by oggenc; frames may be 0 for a stream without samples.
    void writeOggTone(const std::string& name, int rate, int channels, long frames) const {
        dir.write("music/tone.raw", tone(rate, channels, frames, 441));
        const std::string command = "oggenc -Q -r -B 16 -R " + std::to_string(rate) + " -C " +
                                    std::to_string(channels) + " -o music/" + name + " music/tone.raw";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        std::remove("music/tone.raw");
    }

    // Calls updateMusic once per 20 ms game tick for the given time.
    void runTicks(int milliseconds) {
        for (int elapsed = 0; elapsed < milliseconds; elapsed += 20) {
            SoundManager::instance().updateMusic();
            pause(20);
        }
    }

    TempDataDir dir;
};

using SoundEffects = SoundManagerTest;
using Music = SoundManagerTest;

}  // namespace

TEST_F(SoundEffects, PlayedEffectReachesTheOutputAndUnknownNamesStaySilent) {
    recordToWaveFile();
    dir.write("sounds.dat", "boom 1 high.wav\n");
    SoundManager& sounds = SoundManager::instance();
    sounds.loadSoundList("sounds.dat");
    sounds.playSound("nothing");
    pause(300);
    sounds.playSound("boom", 3, 0.2f);
    pause(500);
    sounds.shutdown();

    const Recording output = recording();
    ASSERT_GT(output.seconds(), 0.6);
    EXPECT_GT(output.start(), 0.2);
    EXPECT_GT(output.peak(output.start(), output.start() + 0.3), 0.2);
}

TEST_F(SoundEffects, ReplayingANameRestartsItsSound) {
    SoundManager& sounds = SoundManager::instance();
    sounds.loadSound("woosh", "high.wav");
    const ALuint source = sounds.soundSource("woosh");
    ASSERT_NE(source, 0u);
    sounds.playSound("woosh");
    pause(400);
    ALfloat before = 0.0f, after = 1.0f;
    alGetSourcef(source, AL_SEC_OFFSET, &before);
    sounds.playSound("woosh");
    alGetSourcef(source, AL_SEC_OFFSET, &after);
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    EXPECT_GT(before, 0.2f);
    EXPECT_LT(after, 0.1f);
    EXPECT_EQ(state, AL_PLAYING);
}

// Online play takes ticks back and runs them again: a sound the re-run asks for again
// sounds on from where it was, one it never asks for again stops, and ticks that became
// certain are never taken back.
TEST_F(SoundEffects, SoundsOfTicksRunAgainPlayOnceAndTakenBackOnesStop) {
    SoundManager& sounds = SoundManager::instance();
    sounds.loadSound("woosh", "high.wav");
    sounds.loadSound("thud", "low.wav");
    const auto state = [&sounds](const char* name) {
        ALint value = 0;
        alGetSourcei(sounds.soundSource(name), AL_SOURCE_STATE, &value);
        return value;
    };
    const auto offset = [&sounds](const char* name) {
        ALfloat seconds = 0.0f;
        alGetSourcef(sounds.soundSource(name), AL_SEC_OFFSET, &seconds);
        return seconds;
    };
    sounds.fileSoundsUnder(10);
    sounds.playSound("woosh");
    sounds.fileSoundsUnder(11);
    sounds.playSound("thud");
    pause(300);

    sounds.takeBackSoundsFrom(10);
    sounds.fileSoundsUnder(10);
    sounds.fileSoundsUnder(11);
    sounds.playSound("woosh");  // a tick later than before: the same sound
    sounds.fileSoundsUnder(12);
    sounds.settleSounds();
    EXPECT_EQ(state("woosh"), AL_PLAYING);
    EXPECT_GT(offset("woosh"), 0.2f);
    EXPECT_NE(state("thud"), AL_PLAYING);

    sounds.forgetSoundsBefore(12);
    sounds.takeBackSoundsFrom(10);
    sounds.settleSounds();
    EXPECT_EQ(state("woosh"), AL_PLAYING);

    sounds.stopFilingSounds();
    sounds.playSound("woosh");
    EXPECT_LT(offset("woosh"), 0.1f);
}

// A name keeps the last of its files that loads; a negative count loads nothing and the
// list goes on, a count that does not read ends it. Files that claim more than they
// hold, or hold more than an effect may cost, are refused.
TEST_F(SoundEffects, SoundListKeepsTheLastLoadableFileOfEachName) {
    std::string claims = wavFile(11025, 100, 440), tooLong = wavFile(22050, 0, 440);
    claims.replace(40, 4, "\xff\xff\xff\xff");
    tooLong.append(SoundFile::maxBytes, '\0');
    tooLong.replace(40, 4, std::string("\0\0\0\1", 4));
    dir.write("sounds/claims.wav", claims);
    dir.write("sounds/long.wav", tooLong);
    dir.write("sounds.dat", "hit 3 low.wav high.wav missing.wav\n  miss 3 missing.wav claims.wav long.wav\n"
                            "jump -1\nland 1 high.wav\nstep many kick 1 high.wav\n");
    SoundManager& sounds = SoundManager::instance();
    CaptureStdout();
    sounds.loadSoundList("sounds.dat");
    const auto failure = [](const std::string& file, ALenum code) {
        return "Failed to load " + file + ": " + std::to_string(code) + "(" + alutGetErrorString(code) + ")\n";
    };
    const std::string missing = failure("missing.wav", ALUT_ERROR_IO_ERROR);
    EXPECT_EQ(GetCapturedStdout(), "sounds.dat:3: sound 'jump' counts -1 files; it gets none\n"
                                   "sounds.dat:5: sound 'step' needs a count of files after its name; the list ends here\n" +
                                       missing + missing + failure("claims.wav", ALUT_ERROR_CORRUPT_OR_TRUNCATED_DATA) +
                                       failure("long.wav", ALUT_ERROR_OUT_OF_MEMORY));
    ALint buffer = 0, frequency = 0;
    alGetSourcei(sounds.soundSource("hit"), AL_BUFFER, &buffer);
    alGetBufferi(static_cast<ALuint>(buffer), AL_FREQUENCY, &frequency);
    EXPECT_EQ(frequency, 22050);
    EXPECT_EQ(sounds.soundSource("miss"), 0u);
    EXPECT_EQ(sounds.soundSource("jump"), 0u);
    EXPECT_NE(sounds.soundSource("land"), 0u);
    EXPECT_EQ(sounds.soundSource("kick"), 0u);
}

TEST_F(SoundEffects, WithoutADeviceEveryCallIsHarmless) {
    setenv("ALSOFT_DRIVERS", "bogus", 1);
    writeOggTone("song.ogg", 22050, 2, 22050);
    dir.write("sounds.dat", "hit 1 low.wav\n");
    CaptureStdout();
    SoundManager& sounds = SoundManager::instance();
    EXPECT_EQ(GetCapturedStdout(), "Couldn't open audio device.\n");

    CaptureStdout();
    sounds.loadSoundList("sounds.dat");
    sounds.playSound("hit");
    sounds.playMusic("song.ogg");
    sounds.updateMusic();
    sounds.stopMusic();
    sounds.playMusic("missing.ogg");
    sounds.shutdown();
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_FALSE(sounds.hasAudio());
    EXPECT_FALSE(sounds.isMusicPlaying());
    EXPECT_EQ(sounds.soundSource("hit"), 0u);
}

// A quarter-second track is shorter than one buffer, and three seconds is twice what
// the queue holds: both the rewind and the refill are needed to keep it sounding.
TEST_F(Music, ShortTrackLoopsForMuchLongerThanTheQueueHolds) {
    recordToWaveFile();
    writeOggTone("short.ogg", 44100, 2, 11025);
    SoundManager::instance().playMusic("short.ogg");
    runTicks(3200);
    SoundManager::instance().shutdown();

    const Recording output = recording();
    const double start = output.start();
    ASSERT_GE(start, 0.0);
    ASSERT_GT(output.seconds(), start + 3.0);
    for (double t = start + 0.05; t + 0.05 <= start + 3.0; t += 0.05) {
        ASSERT_GT(output.peak(t, t + 0.05), 0.1) << "silent at " << t << " s";
    }
}

TEST_F(Music, ResumesAfterTheQueueRanDry) {
    recordToWaveFile();
    writeOggTone("song.ogg", 44100, 2, 44100);
    SoundManager::instance().playMusic("song.ogg");
    runTicks(200);
    pause(2200);
    runTicks(800);
    SoundManager::instance().shutdown();

    const Recording output = recording();
    ASSERT_GE(output.start(), 0.0);
    EXPECT_LT(output.peak(output.start() + 1.7, output.start() + 2.1), 0.01);
    EXPECT_GT(output.peak(output.seconds() - 0.4, output.seconds() - 0.1), 0.1);
}

TEST_F(Music, SwitchedOffByTheSettingStopsAndStaysSilent) {
    recordToWaveFile();
    writeOggTone("menu.ogg", 44100, 2, 44100);
    SoundManager& sounds = SoundManager::instance();
    sounds.playMusic("menu.ogg");
    runTicks(400);
    Settings::instance().setInt("music", 0);
    sounds.playMusic("menu.ogg");
    EXPECT_FALSE(sounds.isMusicPlaying());
    runTicks(800);
    sounds.shutdown();

    const Recording output = recording();
    ASSERT_GE(output.start(), 0.0);
    EXPECT_GT(output.peak(output.start(), output.start() + 0.3), 0.1);
    EXPECT_LT(output.peak(output.seconds() - 0.6, output.seconds()), 0.001);
}

TEST_F(Music, TrackWithoutSamplesEndsInsteadOfHanging) {
    writeOggTone("empty.ogg", 22050, 2, 0);
    CaptureStdout();
    SoundManager& sounds = SoundManager::instance();
    sounds.playMusic("empty.ogg");
    for (int waited = 0; waited < 3000 && sounds.isMusicPlaying(); waited += 20) runTicks(20);
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_FALSE(sounds.isMusicPlaying());
}
