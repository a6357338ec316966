#include "audio/SoundList.h"

#include "core/TextTokens.h"

namespace {

// A fault in the list changes what the game sounds like, so the player hears of it too.
void complain(const TextFile& file, int line, const std::string& message) {
    const std::string where = file.path() + ":" + std::to_string(line) + ": ";
    file.problems().report({file.path(), line, message, DataProblem::Console::Out, where + message});
}

}  // namespace

std::vector<SoundList::Record> SoundList::read(const std::string& path, ProblemSink& problems) {
    TextFile file(path, problems);
    TextTokens tokens(file);
    std::vector<Record> records;
    Record record;
    while (tokens.next(record.name)) {
        record.line = tokens.line();
        record.files.clear();
        int32_t count = 0;
        if (!tokens.nextInt(count)) {
            complain(file, record.line,
                     "sound '" + record.name + "' needs a count of files after its name; the list ends here");
            break;
        }
        if (count < 0) {
            complain(file, tokens.line(),
                     "sound '" + record.name + "' counts " + std::to_string(count) + " files; it gets none");
            continue;
        }
        std::string fileName;
        while (static_cast<int32_t>(record.files.size()) < count && tokens.next(fileName)) {
            record.files.push_back(fileName);
        }
        if (static_cast<int32_t>(record.files.size()) < count) {
            file.report(record.line, "sound '" + record.name + "' counts " + std::to_string(count) + " files but " +
                                         std::to_string(record.files.size()) + " follow");
        }
        records.push_back(record);
    }
    return records;
}
