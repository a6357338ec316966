#include "core/TextFile.h"

#include <filesystem>

namespace {

const std::string kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

TextFile::TextFile(const std::string& path, ProblemSink& problems, std::size_t maxFileBytes)
    : filePath(path), sink(problems), fileLimit(maxFileBytes) {
    std::error_code error;
    if (!std::filesystem::is_directory(path, error)) {
        file.open(path, std::ios::binary);
    }
    if (file.is_open()) {
        source = &file;
    }
}

TextFile::TextFile(std::istream& in, const std::string& name, ProblemSink& problems, std::size_t maxFileBytes)
    : source(&in), filePath(name), sink(problems), fileLimit(maxFileBytes) {}

bool TextFile::readLine(std::string& line) {
    line.clear();
    if (!isOpen() || finished) {
        return false;
    }
    std::streambuf* const buffer = source->rdbuf();
    if (buffer == nullptr) {
        finished = true;
        return false;
    }
    std::streambuf& bytes = *buffer;
    int c = bytes.sbumpc();
    if (c == std::char_traits<char>::eof()) {
        finished = true;
        return false;
    }
    ++number;
    for (; c != std::char_traits<char>::eof(); c = bytes.sbumpc()) {
        if (++bytesRead > fileLimit) {
            stopAtLimit("the file is longer than " + std::to_string(fileLimit) + " bytes; reading stops here");
            return false;
        }
        if (c == '\n') {
            break;
        }
        if (line.size() == MaxLineBytes) {
            stopAtLimit("the line is longer than " + std::to_string(MaxLineBytes) + " bytes; reading stops here");
            return false;
        }
        line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (number == 1 && line.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0) {
        line.erase(0, kByteOrderMark.size());
    }
    return true;
}

TextFile::Place TextFile::place() const {
    Place here;
    std::streambuf* const buffer = isOpen() ? source->rdbuf() : nullptr;
    here.offset = buffer != nullptr ? buffer->pubseekoff(0, std::ios::cur, std::ios::in) : std::streampos(-1);
    here.number = number;
    here.bytesRead = bytesRead;
    here.finished = finished;
    return here;
}

bool TextFile::returnTo(const Place& earlier) {
    std::streambuf* const buffer = isOpen() ? source->rdbuf() : nullptr;
    if (buffer == nullptr || earlier.offset == std::streampos(-1) ||
        buffer->pubseekpos(earlier.offset, std::ios::in) != earlier.offset) {
        return false;
    }
    number = earlier.number;
    bytesRead = earlier.bytesRead;
    finished = earlier.finished;
    return true;
}

void TextFile::report(int line, const std::string& message) const { sink.report({filePath, line, message}); }

void TextFile::stopAtLimit(const std::string& message) {
    finished = true;
    const std::string where = filePath + ":" + std::to_string(number) + ": ";
    sink.report({filePath, number, message, DataProblem::Console::Err, where + message});
}
