#include "FuzzSupport.h"

#include "audio/SoundManager.h"
#include "core/Settings.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace fuzz {

namespace {

std::string scratchDirectory;

void removeScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(scratchDirectory, ignored);
}

}  // namespace

void enterScratchDataDirectory() {
    setenv("ALSOFT_DRIVERS", "null", 1);
    setenv("ALSOFT_LOGLEVEL", "0", 1);
    std::string pattern = (std::filesystem::temp_directory_path() / "mb-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) {
        throw std::runtime_error("cannot make a scratch directory");
    }
    scratchDirectory = pattern;
    std::atexit(removeScratchDirectory);
    for (const char* folder : {"images", "sounds", "music", "levels", "animations", "cutscenes"}) {
        std::filesystem::create_directory(folder);
    }
    // libFuzzer reports on standard error; the game's messages on standard output would
    // only slow the run down.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        throw std::runtime_error("cannot silence standard output");
    }
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

void writeFile(const std::string& path, const std::string& text) {
    writeFile(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

void playMusic(const std::string& fileName) {
    const char* chosen = std::getenv("MB_FUZZ_MUSIC_MS");
    const auto moment = std::chrono::milliseconds(chosen != nullptr ? std::atoi(chosen) : 60);
    Settings::instance().setInt("music", 1);
    SoundManager& sound = SoundManager::instance();
    sound.playMusic(fileName);
    const auto until = std::chrono::steady_clock::now() + moment;
    while (sound.isMusicPlaying() && std::chrono::steady_clock::now() < until) {
        sound.updateMusic();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    sound.stopMusic();
}

std::string ByteReader::take(std::size_t count) {
    const std::size_t length = std::min(count, size - std::min(offset, size));
    std::string bytes(reinterpret_cast<const char*>(data) + offset, length);
    offset += length;
    return bytes;
}

}  // namespace fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::enterScratchDataDirectory();
    return 0;
}
