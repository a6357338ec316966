#pragma once

#include <string>

// A fresh temporary directory that becomes the working directory (the game opens all
// data files relative to it) for the lifetime of the object; removed afterwards.
class TempDataDir {
public:
    TempDataDir();
    ~TempDataDir();
    TempDataDir(const TempDataDir&) = delete;
    TempDataDir& operator=(const TempDataDir&) = delete;

    const std::string& path() const { return root; }
    // Writes a file relative to the directory, creating parent folders.
    void write(const std::string& relativePath, const std::string& contents) const;
    void writeBytes(const std::string& relativePath, const void* data, std::size_t size) const;

private:
    std::string root;
    std::string previous;
};
