#include "core/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string failure(const std::string& path, const std::string& reason) {
    return "Could not save " + path + ": " + reason + ".";
}

bool writeAll(int fd, const std::string& contents) {
    std::size_t written = 0;
    while (written < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// The rename is on disk only once the folder's entry is.
void syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

std::string AtomicFile::replace(const std::string& path, const std::string& contents) {
    std::error_code error;
    fs::path target(path);
    if (fs::is_symlink(target, error)) {
        const fs::path pointed = fs::read_symlink(target, error);
        if (!error) {
            target = pointed.is_absolute() ? pointed : target.parent_path() / pointed;
        }
    }
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    fs::create_directories(folder, error);
    if (error) {
        return failure(path, "cannot make the folder " + folder.string() + " (" + error.message() + ")");
    }

    mode_t mode = 0644;
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    }
    std::string pattern = (folder / (target.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return failure(path, std::strerror(errno));
    }
    const std::string temporary(name.data());
    const bool written = writeAll(fd, contents) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    const int savedErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(temporary.c_str());
        return failure(path, std::strerror(written ? errno : savedErrno));
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int renameErrno = errno;
        ::unlink(temporary.c_str());
        return failure(path, std::strerror(renameErrno));
    }
    syncFolder(folder);
    return "";
}
