#include "support/TempDataDir.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

TempDataDir::TempDataDir() {
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) != nullptr) {
        previous = cwd;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "mbtest-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    root = pattern;
    if (chdir(root.c_str()) != 0) {
        throw std::runtime_error("chdir failed");
    }
}

TempDataDir::~TempDataDir() {
    if (!previous.empty() && chdir(previous.c_str()) != 0) {
        // Nothing sensible to do in a destructor; the directory is still removed.
    }
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

void TempDataDir::write(const std::string& relativePath, const std::string& contents) const {
    writeBytes(relativePath, contents.data(), contents.size());
}

void TempDataDir::writeBytes(const std::string& relativePath, const void* data, std::size_t size) const {
    const std::filesystem::path full = std::filesystem::path(root) / relativePath;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}
