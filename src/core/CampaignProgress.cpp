#include "core/CampaignProgress.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <vector>

#include "core/AtomicFile.h"
#include "core/DataFileName.h"
#include "core/ProblemSink.h"
#include "core/TextFile.h"

namespace {

const char* const kFileName = "progress";
const char* const kDamagedSuffix = ".damaged";
// Far more than three lines need; anything longer is not a file of ours.
constexpr std::size_t kMostBytes = 4096;
// No campaign is longer; a larger number is a damaged file.
constexpr int kMostLevels = 9999;

const char* const kPlayerWords[] = {"one", "two"};

int playersOf(const std::string& word) {
    for (int i = 0; i < 2; ++i) {
        if (word == kPlayerWords[i]) return i + 1;
    }
    return 0;
}

class FirstProblem : public ProblemSink {
public:
    void report(const DataProblem& problem) override {
        if (message.empty()) message = "line " + std::to_string(problem.line) + ": " + problem.message;
    }
    std::string message;
};

}  // namespace

CampaignProgress::CampaignProgress(std::string stateFolder) : folder(std::move(stateFolder)) {}

std::string CampaignProgress::filePath() const {
    return folder.empty() ? "" : (std::filesystem::path(folder) / kFileName).string();
}

void CampaignProgress::load() {
    records = {};
    lastPlayers = 0;
    damage.clear();
    const std::string path = filePath();
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error)) {
        return;
    }
    std::string why;
    if (parse(path, why)) {
        return;
    }
    records = {};
    lastPlayers = 0;
    const std::string aside = path + kDamagedSuffix;
    const bool keptAside = std::rename(path.c_str(), aside.c_str()) == 0;
    damage = "The progress file " + path + " is damaged (" + why + "); " +
             (keptAside ? "it is kept as " + aside + " and ignored." : "it is ignored.");
    std::cout << damage << "\n";
}

bool CampaignProgress::parse(const std::string& path, std::string& why) {
    FirstProblem problems;
    TextFile file(path, problems, kMostBytes);
    if (!file.isOpen()) {
        why = "it cannot be read";
        return false;
    }
    std::string line;
    while (file.readLine(line)) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string word;
        if (!(words >> word)) continue;
        const std::string at = "line " + std::to_string(file.lineNumber()) + ": ";
        std::string rest;
        if (word == "last") {
            std::string who;
            words >> who;
            lastPlayers = playersOf(who);
            if (lastPlayers == 0 || words >> rest) {
                why = at + "\"last\" takes one or two";
                return false;
            }
            continue;
        }
        const int players = playersOf(word);
        Record record;
        record.players = players;
        if (players == 0) {
            why = at + "unknown word \"" + word + "\"";
            return false;
        }
        if (!(words >> record.number >> record.levelFile) || words >> rest || record.number < 2 ||
            record.number > kMostLevels || !DataFileName::isLevelName(record.levelFile)) {
            why = at + "a record is one or two, a level number from 2 and a level file name";
            return false;
        }
        records[players - 1] = record;
    }
    if (!problems.message.empty()) {
        why = problems.message;
        return false;
    }
    return true;
}

std::optional<CampaignProgress::Record> CampaignProgress::resumable() const {
    if (lastPlayers != 0 && records[lastPlayers - 1]) return records[lastPlayers - 1];
    if (records[0]) return records[0];
    return records[1];
}

std::string CampaignProgress::text() const {
    std::string out = "# The furthest level each campaign reached; Continue on the main menu starts there.\n";
    for (const std::optional<Record>& record : records) {
        if (record) {
            out += std::string(kPlayerWords[record->players - 1]) + " " + std::to_string(record->number) + " " +
                   record->levelFile + "\n";
        }
    }
    if (lastPlayers != 0) out += std::string("last ") + kPlayerWords[lastPlayers - 1] + "\n";
    return out;
}

std::string CampaignProgress::levelStarted(const Record& reached) {
    if (folder.empty() || reached.players < 1 || reached.players > 2 || reached.number < 2 ||
        !DataFileName::isLevelName(reached.levelFile)) {
        return "";
    }
    std::optional<Record>& record = records[reached.players - 1];
    const bool further = !record || reached.number > record->number;
    if (!further && lastPlayers == reached.players) {
        return "";
    }
    if (further) record = reached;
    lastPlayers = reached.players;
    const std::string problem = AtomicFile::replace(filePath(), text());
    if (problem.empty() || writeFailureSaid) {
        return "";
    }
    writeFailureSaid = true;
    std::cout << problem << "\n";
    return problem;
}
