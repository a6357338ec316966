#include "support/FigureAnimations.h"

#include <string>

#include "characters/StartupAnimations.h"
#include "support/TempDataDir.h"

void writeFigureAnimations(const TempDataDir& dir, int frameMilliseconds) {
    std::string frame;
    for (int joint = 0; joint < 18; ++joint) {
        frame += "10 ";
    }
    frame += std::to_string(frameMilliseconds) + "\n";
    for (const StartupAnimation& entry : kStartupAnimations) {
        dir.write(std::string("animations/") + entry.file, std::string(entry.name) + "\n" + frame + frame + frame);
    }
}
