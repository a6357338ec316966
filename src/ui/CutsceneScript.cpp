#include "ui/CutsceneScript.h"

#include "core/TextTokens.h"

bool CutsceneScript::read(const std::string& path, ProblemSink& problems) {
    TextFile file(path, problems);
    if (!file.isOpen()) {
        return false;
    }
    TextTokens tokens(file);
    std::string keyword;
    int firstLeftOut = 0;
    int leftOut = 0;
    while (tokens.next(keyword)) {
        const int line = tokens.line();
        if (keyword == "frame") {
            CutsceneFrame frame;
            frame.line = line;
            if (!(tokens.next(frame.texture) && tokens.nextInt(frame.hold) && tokens.nextInt(frame.fade) &&
                  tokens.nextInt(frame.transition))) {
                file.report(line, "frame needs a texture and three whole numbers (hold, fade, transition); "
                                  "the cutscene ends before it");
                break;
            }
            frames.push_back(frame);
        } else {
            Picture picture;
            picture.line = line;
            if (!(tokens.next(picture.texture) && tokens.next(picture.file))) {
                file.report(line, "'" + keyword + "' needs a texture name and an image file");
                break;
            }
            if (static_cast<int>(pictures.size()) < MostPictures) {
                pictures.push_back(picture);
            } else if (leftOut++ == 0) {
                firstLeftOut = line;
            }
        }
    }
    if (leftOut > 0) {
        const std::string message = std::to_string(leftOut) + " pictures beyond the " + std::to_string(MostPictures) +
                                    " one cutscene may load are left out, from this line on";
        problems.report({path, firstLeftOut, message, DataProblem::Console::Err,
                         path + ":" + std::to_string(firstLeftOut) + ": " + message});
    }
    if (frames.empty()) {
        file.report(file.lineNumber(), "no frame: the cutscene ends as soon as it starts");
    }
    return true;
}
