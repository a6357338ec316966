#include "FileDescriptor.h"

#include <unistd.h>

#include <cerrno>

FileDescriptor::~FileDescriptor() {
    if (fd >= 0) {
        close(fd);
    }
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd >= 0) {
            close(fd);
        }
        fd = other.fd;
        other.fd = -1;
    }
    return *this;
}

bool FileDescriptor::closeChecked() {
    const int result = close(fd);
    fd = -1;
    return result == 0;
}

bool FileDescriptor::writeAll(const std::string& text) const {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}
