#pragma once

#include <string>

// Owns one open file descriptor and closes it when dropped.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept : fd(other.fd) { other.fd = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd; }
    bool isOpen() const { return fd >= 0; }
    // Writes all of text, resuming after interruptions; false on an error.
    bool writeAll(const std::string& text) const;
    // Closes now and says whether the last write-back succeeded.
    bool closeChecked();

private:
    int fd;
};
