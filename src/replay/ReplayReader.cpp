#include "replay/ReplayReader.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

#include "core/DataFileName.h"
#include "core/TextFile.h"

namespace {

constexpr int kMostControls = Game::ControlCount;
// A replay grows by about a kilobyte a second of play: this allows a day's game.
constexpr std::size_t kLargestReplay = 128u * 1024 * 1024;

class LineError {
public:
    std::string text;
};

std::vector<std::string> wordsOf(const std::string& line) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while ((start = line.find_first_not_of(" \t\v\f\r", start)) != std::string::npos) {
        const std::size_t end = std::min(line.find_first_of(" \t\v\f\r", start), line.size());
        words.push_back(line.substr(start, end - start));
        start = end;
    }
    return words;
}

// Whole-word numbers only: "12x" or an empty word is a damaged line.
long long integerOf(const std::string& word, long long low, long long high) {
    std::size_t used = 0;
    long long value = 0;
    try {
        value = std::stoll(word, &used);
    } catch (const std::exception&) {
        throw LineError{"\"" + word + "\" is not a number"};
    }
    if (used != word.size()) throw LineError{"\"" + word + "\" is not a number"};
    if (value < low || value > high) throw LineError{word + " is out of range"};
    return value;
}

double realOf(const std::string& word) {
    std::size_t used = 0;
    double value = 0.0;
    try {
        value = std::stod(word, &used);
    } catch (const std::exception&) {
        throw LineError{"\"" + word + "\" is not a number"};
    }
    if (used != word.size() || !std::isfinite(value)) throw LineError{"\"" + word + "\" is not a number"};
    return value;
}

void expectWords(const std::vector<std::string>& words, std::size_t count) {
    if (words.size() != count) throw LineError{"expected " + std::to_string(count) + " words"};
}

bool isPlayFile(const std::string& name) {
    if (name.find("..") != std::string::npos) return false;
    for (const char* folder : {"animations/", "cutscenes/", "levels/"}) {
        if (name.rfind(folder, 0) == 0 && name.size() > std::string(folder).size()) return true;
    }
    return false;
}

void digestOf(const std::vector<std::string>& words, std::size_t from, StateDigest& digest) {
    if (!StateDigest::parse(std::vector<std::string>(words.begin() + from, words.end()), digest)) {
        throw LineError{"damaged state digest"};
    }
}

// The records after the header, in file order: ticks never go back, and the digest of
// a tick comes before that tick's input, as the recorder writes them.
class RecordParser {
public:
    ReplayFile::Record parse(const std::vector<std::string>& words) {
        if (words.empty()) throw LineError{"empty record"};
        ReplayFile::Record record;
        if (words[0] == "end") {
            if (words.size() < 3) throw LineError{"damaged end record"};
            record.kind = ReplayFile::Record::Kind::End;
            record.tick = tickOf(words[1]);
            if (words[2] != "menu" && words[2] != "exit") throw LineError{"damaged end record"};
            record.endedInMenu = words[2] == "menu";
            digestOf(words, 3, record.digest);
            return record;
        }
        if (words.size() < 2) throw LineError{"damaged record"};
        const bool anyBefore = sawRecord;
        const int before = lastTick;
        record.tick = tickOf(words[0]);
        const std::string& kind = words[1];
        if (kind == "digest") {
            if (anyBefore && record.tick <= before) {
                throw LineError{"the digest of tick " + words[0] + " comes after a record of tick " +
                                std::to_string(before)};
            }
            record.kind = ReplayFile::Record::Kind::Digest;
            digestOf(words, 2, record.digest);
            return record;
        }
        record.kind = ReplayFile::Record::Kind::Input;
        if (kind == "k") {
            expectWords(words, 4);
            record.event =
                InputEvent::key(static_cast<int>(integerOf(words[2], 0, 1023)), integerOf(words[3], 0, 1) != 0);
        } else if (kind == "b") {
            expectWords(words, 5);
            record.event =
                InputEvent::button(static_cast<int>(integerOf(words[2], 0, 255)),
                                   static_cast<int>(integerOf(words[3], 0, 1023)), integerOf(words[4], 0, 1) != 0);
        } else if (kind == "a") {
            expectWords(words, 5);
            const double value = realOf(words[4]);
            if (value < -1.0 || value > 1.0) throw LineError{"axis position " + words[4] + " is out of range"};
            record.event = InputEvent::axis(static_cast<int>(integerOf(words[2], 0, 255)),
                                            static_cast<int>(integerOf(words[3], 0, 1023)), value);
        } else if (kind == "c") {
            expectWords(words, 4);
            record.event = InputEvent::credits(static_cast<int>(integerOf(words[2], 0, 1 << 20)),
                                               static_cast<int>(integerOf(words[3], 0, 255)));
        } else {
            throw LineError{"unknown record \"" + kind + "\""};
        }
        return record;
    }

    int lastTickRead() const { return lastTick; }
    bool sawAnyRecord() const { return sawRecord; }
    void resume(int tick, bool any) {
        lastTick = tick;
        sawRecord = any;
    }

private:
    int tickOf(const std::string& word) {
        const int tick = static_cast<int>(integerOf(word, 0, ReplayFile::MostTicks));
        if (tick < lastTick) throw LineError{"tick " + word + " comes after tick " + std::to_string(lastTick)};
        lastTick = tick;
        sawRecord = true;
        return tick;
    }

    int lastTick = 0;
    bool sawRecord = false;
};

class HeaderParser {
public:
    explicit HeaderParser(ReplayFile& r) : replay(r) {}

    // Returns true once the header's last line ("play") was read.
    bool line(const std::string& text) {
        const std::vector<std::string> words = wordsOf(text);
        if (!sawFormat) {
            readFormat(words);
            return false;
        }
        return readHeader(words, text);
    }

private:
    void readFormat(const std::vector<std::string>& words) {
        if (words.size() != 2 || words[0] != "margin-brawler-replay") throw LineError{"not a replay file"};
        const long long version = integerOf(words[1], 0, std::numeric_limits<int>::max());
        if (version != ReplayFile::FormatVersion) {
            throw LineError{"replay format " + words[1] + "; this game reads format " +
                            std::to_string(ReplayFile::FormatVersion)};
        }
        sawFormat = true;
    }

    bool readHeader(const std::vector<std::string>& words, const std::string& text) {
        if (words.empty()) throw LineError{"empty header line"};
        const std::string& what = words[0];
        if (what == "version") {
            expectWords(words, 2);
            replay.gameVersion = words[1];
        } else if (what == "mode") {
            expectWords(words, 2);
            if (words[1] != "home" && words[1] != "arcade") throw LineError{"unknown mode " + words[1]};
            replay.arcade = words[1] == "arcade";
        } else if (what == "level") {
            expectWords(words, 2);
            if (!DataFileName::isLevelName(words[1])) {
                throw LineError{"the level " + DataFileName::printable(words[1]) + " is not a file name under levels/"};
            }
            replay.start.levelFile = words[1];
            sawLevel = true;
        } else if (what == "players") {
            expectWords(words, 3);
            replay.start.player1 = integerOf(words[1], 0, 1) != 0;
            replay.start.player2 = integerOf(words[2], 0, 1) != 0;
        } else if (what == "seed") {
            expectWords(words, 2);
            replay.start.seed = static_cast<unsigned>(integerOf(words[1], 0, std::numeric_limits<unsigned>::max()));
        } else if (what == "credits") {
            expectWords(words, 2);
            replay.credits = static_cast<int>(integerOf(words[1], 0, 255));
        } else if (what == "controls") {
            readControls(words);
        } else if (what == "setting") {
            if (words.size() < 3) throw LineError{"damaged setting"};
            // The rest of the line after one separator, as a settings file has it.
            replay.settings.push_back(text.substr(text.find("setting") + 8));
        } else if (what == "data") {
            expectWords(words, 3);
            if (!isPlayFile(words[1])) throw LineError{"unexpected data file " + words[1]};
            replay.data.push_back({words[1], words[2]});
        } else if (what == "play") {
            if (!sawLevel) throw LineError{"the header names no level"};
            // Without them nothing says the levels and animations here are the recorded ones.
            if (replay.data.empty()) {
                throw LineError{"the replay has no data digests; it cannot be checked against this data"};
            }
            return true;
        } else {
            throw LineError{"unknown header line \"" + what + "\""};
        }
        return false;
    }

    void readControls(const std::vector<std::string>& words) {
        expectWords(words, 6);
        if (words[1].size() != kMostControls || words[1].find_first_not_of("01") != std::string::npos) {
            throw LineError{"damaged control state"};
        }
        for (int c = 0; c < kMostControls; ++c) replay.controls.held[c] = words[1][c] == '1';
        for (int i = 0; i < 4; ++i) replay.controls.sticks[i] = realOf(words[2 + i]);
    }

    ReplayFile& replay;
    bool sawFormat = false;
    bool sawLevel = false;
};

// Keeps the first fault the line reader meets (a line or the file too long for a text
// file): reading stops there, and so does the replay.
class FirstProblem : public ProblemSink {
public:
    void report(const DataProblem& problem) override {
        if (message.empty()) {
            message = std::to_string(problem.line) + ": " + problem.message;
        }
    }

    std::string message;
};

// Why reading stopped before the end record, as "name:line: what".
std::string stoppedEarly(const TextFile& file, const FirstProblem& problems, bool inHeader) {
    if (!problems.message.empty()) return file.path() + ":" + problems.message;
    const int number = file.lineNumber();
    return file.path() + ":" + std::to_string(number) + ": " +
           (number == 0  ? std::string("the file is empty")
            : inHeader   ? "the replay stops inside its header (truncated)"
                         : "the replay stops before its end record (truncated)");
}

bool readLines(TextFile& file, const FirstProblem& problems, ReplayFile& replay, std::string& error) {
    replay = ReplayFile();
    HeaderParser header(replay);
    RecordParser records;
    bool inHeader = true;
    std::string text;
    try {
        while (file.readLine(text)) {
            if (inHeader) {
                inHeader = !header.line(text);
                replay.playLine = file.lineNumber();
                continue;
            }
            const ReplayFile::Record record = records.parse(wordsOf(text));
            if (record.kind == ReplayFile::Record::Kind::End) {
                replay.endTick = record.tick;
                replay.endedInMenu = record.endedInMenu;
                replay.endDigest = record.digest;
                return true;
            }
        }
    } catch (const LineError& lineError) {
        error = file.path() + ":" + std::to_string(file.lineNumber()) + ": " + lineError.text;
        return false;
    }
    error = stoppedEarly(file, problems, inHeader);
    return false;
}

}  // namespace

bool ReplayReader::read(const std::string& path, ReplayFile& replay, std::string& error) {
    // A pipe or a device would hold the game at start-up, or never end.
    std::error_code notFound;
    if (!std::filesystem::is_regular_file(path, notFound)) {
        replay = ReplayFile();
        error = path + ": cannot be opened" + (std::filesystem::exists(path, notFound) ? " (not a regular file)" : "");
        return false;
    }
    FirstProblem problems;
    TextFile file(path, problems, kLargestReplay);
    if (!file.isOpen()) {
        replay = ReplayFile();
        error = path + ": cannot be opened";
        return false;
    }
    if (!readLines(file, problems, replay, error)) return false;
    // Playback reads the records from here after the game has entered its data folder.
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(path, failed);
    replay.source = failed ? path : absolute.string();
    return true;
}

bool ReplayReader::read(std::istream& in, const std::string& name, ReplayFile& replay, std::string& error) {
    FirstProblem problems;
    TextFile file(in, name, problems, kLargestReplay);
    return readLines(file, problems, replay, error);
}

class ReplayReader::Records {
public:
    explicit Records(const ReplayFile& replay) : file(replay.source, problems, kLargestReplay) {
        skipHeader(replay);
    }
    Records(std::istream& in, const ReplayFile& replay)
        : file(in, replay.source.empty() ? "replay" : replay.source, problems, kLargestReplay) {
        skipHeader(replay);
    }

    bool next(ReplayFile::Record& record) {
        if (done) return false;
        std::string text;
        if (!file.readLine(text)) {
            fail(stoppedEarly(file, problems, false));
            return false;
        }
        try {
            record = parser.parse(wordsOf(text));
        } catch (const LineError& lineError) {
            fail(file.path() + ":" + std::to_string(file.lineNumber()) + ": " + lineError.text);
            return false;
        }
        done = record.kind == ReplayFile::Record::Kind::End;
        return true;
    }

    const std::string& error() const { return failure; }

    ReplayReader::Place place() const {
        return {file.place(), parser.lastTickRead(), parser.sawAnyRecord(), done, failure};
    }

    bool returnTo(const ReplayReader::Place& earlier) {
        if (!file.returnTo(earlier.file)) {
            fail(file.path() + ": cannot be read again from an earlier place");
            return false;
        }
        parser.resume(earlier.lastTick, earlier.sawRecord);
        done = earlier.done;
        failure = earlier.failure;
        return true;
    }

private:
    void skipHeader(const ReplayFile& replay) {
        if (!file.isOpen()) {
            fail(replay.source + ": cannot be opened");
            return;
        }
        std::string text;
        while (file.lineNumber() < replay.playLine && file.readLine(text)) {
        }
    }

    void fail(const std::string& why) {
        done = true;
        failure = why;
    }

    FirstProblem problems;
    TextFile file;
    RecordParser parser;
    bool done = false;
    std::string failure;
};

ReplayReader::ReplayReader(const ReplayFile& replay) : records(std::make_unique<Records>(replay)) {}

ReplayReader::ReplayReader(std::istream& in, const ReplayFile& replay)
    : records(std::make_unique<Records>(in, replay)) {}

ReplayReader::~ReplayReader() = default;

bool ReplayReader::next(ReplayFile::Record& record) { return records->next(record); }

const std::string& ReplayReader::error() const { return records->error(); }

ReplayReader::Place ReplayReader::place() const { return records->place(); }

bool ReplayReader::returnTo(const Place& earlier) { return records->returnTo(earlier); }
