#include "AudioFiles.h"

#include "audio/SoundManager.h"
#include "core/Settings.h"
#include "support/TempDataDir.h"

#include <AL/alut.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

// Calls updateMusic once per 20 ms game tick for the given time.
void runTicks(SoundManager& sounds, int milliseconds) {
    for (int elapsed = 0; elapsed < milliseconds; elapsed += 20) {
        sounds.updateMusic();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Checks that every 50 ms slice of the recording between the two times carries sound.
void expectSoundThroughout(const Recording& recording, double from, double to) {
    for (double t = from; t + 0.05 <= to; t += 0.05) {
        ASSERT_GT(recording.peak(t, t + 0.05), 0.1) << "silent at " << t << " s";
    }
}

class Music : public testing::Test {
protected:
    void SetUp() override {
        alutInitWithoutContext(nullptr, nullptr);
        Settings::instance().setInt("music", 1);
    }

    void writeTrack(const std::string& name, int rate, int channels, long frames, double hertz = 441) const {
        writeOggTone(dir.path() + "/music/" + name, rate, channels, frames, hertz);
    }

    TempDataDir dir;
};

// A quarter-second track is shorter than one buffer, and three seconds is twice what
// the queue holds: both the rewind and the refill are needed to keep it sounding.
TEST_F(Music, ShortTrackLoopsForMuchLongerThanTheQueueHolds) {
    const std::string output = recordToWaveFile(dir);
    writeTrack("short.ogg", 44100, 2, 11025);
    SoundManager& sounds = SoundManager::instance();
    sounds.playMusic("short.ogg");
    runTicks(sounds, 3200);
    sounds.shutdown();

    const Recording recording = readRecording(output);
    const double start = recording.firstSoundAbove(0.1);
    ASSERT_GE(start, 0.0);
    ASSERT_GT(recording.seconds(), start + 3.0);
    expectSoundThroughout(recording, start + 0.05, start + 3.0);
}

TEST_F(Music, MonoTrackPlaysAtItsOwnPitch) {
    const std::string output = recordToWaveFile(dir);
    writeTrack("mono.ogg", 22050, 1, 44100, 441);
    SoundManager& sounds = SoundManager::instance();
    sounds.playMusic("mono.ogg");
    runTicks(sounds, 1000);
    sounds.shutdown();

    const Recording recording = readRecording(output);
    const double start = recording.firstSoundAbove(0.1);
    ASSERT_GE(start, 0.0);
    EXPECT_NEAR(recording.pitch(start + 0.1, start + 0.7), 441.0, 15.0);
}

TEST_F(Music, ResumesAfterTheQueueRanDry) {
    const std::string output = recordToWaveFile(dir);
    writeTrack("song.ogg", 44100, 2, 44100);
    SoundManager& sounds = SoundManager::instance();
    sounds.playMusic("song.ogg");
    std::this_thread::sleep_for(std::chrono::milliseconds(2200));
    runTicks(sounds, 800);
    sounds.shutdown();

    const Recording recording = readRecording(output);
    const double start = recording.firstSoundAbove(0.1);
    ASSERT_GE(start, 0.0);
    EXPECT_LT(recording.peak(start + 1.7, start + 2.1), 0.01);
    EXPECT_GT(recording.peak(recording.seconds() - 0.4, recording.seconds() - 0.1), 0.1);
}

TEST_F(Music, SwitchedOffByTheSettingStopsAndStaysSilent) {
    const std::string output = recordToWaveFile(dir);
    writeTrack("menu.ogg", 44100, 2, 44100);
    writeTrack("level.ogg", 44100, 2, 44100);
    SoundManager& sounds = SoundManager::instance();
    sounds.playMusic("menu.ogg");
    runTicks(sounds, 400);
    Settings::instance().setInt("music", 0);
    sounds.playMusic("level.ogg");
    EXPECT_FALSE(sounds.isMusicPlaying());
    runTicks(sounds, 800);
    sounds.shutdown();

    const Recording recording = readRecording(output);
    const double start = recording.firstSoundAbove(0.1);
    ASSERT_GE(start, 0.0);
    EXPECT_GT(recording.peak(start, start + 0.3), 0.1);
    EXPECT_LT(recording.peak(recording.seconds() - 0.6, recording.seconds()), 0.001);
}

TEST_F(Music, UnusableFilesAreReportedAndStopTheOldTrack) {
    writeTrack("good.ogg", 22050, 2, 22050);
    writeTrack("surround.ogg", 22050, 6, 2205);
    dir.write("music/corrupt.ogg", "OggS but not really a stream of any kind");
    SoundManager& sounds = SoundManager::instance();
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"missing.ogg", "Couldn't open missing.ogg.\n"},
        {"corrupt.ogg", "File does not appear to be an Ogg bitstream: corrupt.ogg.\n"},
        {"surround.ogg", "Music must be mono or stereo: surround.ogg.\n"},
    };
    for (const auto& bad : cases) {
        sounds.playMusic("good.ogg");
        ASSERT_TRUE(sounds.isMusicPlaying());
        testing::internal::CaptureStdout();
        sounds.playMusic(bad.file);
        sounds.updateMusic();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), bad.message);
        EXPECT_FALSE(sounds.isMusicPlaying()) << bad.file;
    }
}

TEST_F(Music, TrackWithoutSamplesEndsInsteadOfHanging) {
    writeTrack("empty.ogg", 22050, 2, 0);
    SoundManager& sounds = SoundManager::instance();
    testing::internal::CaptureStdout();
    sounds.playMusic("empty.ogg");
    runTicks(sounds, 100);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(sounds.isMusicPlaying());
}

}  // namespace
