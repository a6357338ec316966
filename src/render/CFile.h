#pragma once

#include <cstdio>
#include <memory>
#include <string>

// A C stdio file closed when the handle goes, for the C libraries that read from FILE*.
struct CFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using CFile = std::unique_ptr<std::FILE, CFileCloser>;

inline CFile openForReading(const std::string& path) { return CFile(std::fopen(path.c_str(), "rb")); }
