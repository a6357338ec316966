#pragma once

#include <string>

// Tries the media files the data names the way the game would use them, without a
// window or an audio device: pictures through the game's decoders, sound effects
// through ALUT's memory loader, music through the game's music decoder process up to
// its first sound. Each answer is empty when the file is fine, else what is wrong with
// it, for a problem message.
class AssetProbe {
public:
    AssetProbe();
    ~AssetProbe();
    AssetProbe(const AssetProbe&) = delete;
    AssetProbe& operator=(const AssetProbe&) = delete;

    std::string picture(const std::string& path) const;
    std::string sound(const std::string& path) const;
    std::string music(const std::string& path) const;

private:
    bool audio = false;
};
