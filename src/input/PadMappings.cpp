#include "input/PadMappings.h"

#include <SDL.h>

#include <filesystem>

#include "core/ProblemSink.h"
#include "core/TextFile.h"

namespace {

const std::string kPlatformField = "platform:";

// Whether a mapping line is for another platform, as SDL's own loader judges it: a line
// without a platform field is for every platform.
bool forAnotherPlatform(const std::string& line) {
    const std::string::size_type at = line.find(kPlatformField);
    if (at == std::string::npos) {
        return false;
    }
    const std::string::size_type start = at + kPlatformField.size();
    const std::string platform = line.substr(start, line.find(',', start) - start);
    return platform != SDL_GetPlatform();
}

}  // namespace

int PadMappings::load(const std::string& path, ProblemSink& problems) {
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error)) {
        return 0;
    }
    TextFile file(path, problems);
    if (!file.isOpen()) {
        problems.report({path, 0, "cannot be read", DataProblem::Console::Out,
                         "The pad mappings " + path + " cannot be read; they are not used."});
        return 0;
    }
    int taken = 0;
    int refused = 0;
    int firstRefused = 0;
    std::string firstReason;
    std::string line;
    while (file.readLine(line)) {
        const std::string::size_type start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#' || forAnotherPlatform(line)) {
            continue;
        }
        if (SDL_GameControllerAddMapping(line.c_str() + start) >= 0) {
            ++taken;
            continue;
        }
        if (refused++ == 0) {
            firstRefused = file.lineNumber();
            firstReason = SDL_GetError();
        }
    }
    if (refused > 0) {
        const std::string where = path + ":" + std::to_string(firstRefused);
        std::string text = where + ": not a pad mapping (" + firstReason + ")";
        if (refused > 1) {
            text += "; " + std::to_string(refused - 1) + " more such lines";
        }
        problems.report({path, firstRefused, firstReason, DataProblem::Console::Out, text + "; passed over."});
    }
    return taken;
}
