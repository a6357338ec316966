// anim-sheet <data-dir> <file.txt> <out.png> [columns] [nothing|stick|head|body]
//
// Renders one animation file as a contact sheet: every key frame the player reaches and
// the poses between them, played through the game's own animation player and drawn
// through the game's camera, each cell labelled with its time. Needs an X display
// (xvfb-run works).

#include <AL/alut.h>
#include <GL/freeglut.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "ContactSheet.h"
#include "FigureStage.h"
#include "SheetTimeline.h"
#include "characters/AnimationLibrary.h"
#include "characters/BodyLists.h"
#include "core/Game.h"
#include "core/Settings.h"

namespace {

constexpr int DefaultColumns = 6;
constexpr int PosesPerSegment = 4;

int usage() {
    std::cerr << "usage: anim-sheet <data-dir> <file.txt> <out.png> [columns] [nothing|stick|head|body]"
              << std::endl;
    return 2;
}

bool parseHeld(const std::string& word, HeldObject& held) {
    if (word == "nothing") {
        held = HeldObject::Nothing;
    } else if (word == "stick") {
        held = HeldObject::Stick;
    } else if (word == "head") {
        held = HeldObject::Head;
    } else if (word == "body") {
        held = HeldObject::Body;
    } else {
        return false;
    }
    return true;
}

std::string nameInside(const std::string& file) {
    std::ifstream in("animations/" + file);
    std::string name;
    in >> name;
    return name;
}

// The game loads all its animations on construction. The file being drawn is loaded
// first, so that an edited copy wins over the game's own file of the same name; the
// warning about that expected duplicate is the only message held back.
void startGame(const std::string& name) {
    std::ostringstream captured;
    std::streambuf* const original = std::cerr.rdbuf(captured.rdbuf());
    Game::instance();
    std::cerr.rdbuf(original);
    const std::string expected = "Warning: An Animation with name " + name + " already exists.";
    std::istringstream lines(captured.str());
    for (std::string line; std::getline(lines, line);) {
        if (line != expected) {
            std::cerr << line << std::endl;
        }
    }
}

std::string timeLabel(const std::string& name, const SheetMoment& moment, bool first) {
    std::string label = std::to_string(moment.time) + " ms";
    if (!moment.label.empty()) {
        label += "  " + moment.label;
    }
    return first ? name + "  " + label : label;
}

void openWindow() {
    int argc = 1;
    char program[] = "anim-sheet";
    char* argv[] = {program, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(FigureStage::CellWidth, FigureStage::CellHeight);
    glutCreateWindow("anim-sheet");
    glutDisplayFunc([] {});
}

std::vector<unsigned char> readCell() {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(FigureStage::CellWidth) * FigureStage::CellHeight * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, FigureStage::CellWidth, FigureStage::CellHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 6) {
        return usage();
    }
    const std::string dataDir = argv[1];
    const std::string file = argv[2];
    const std::string outPath = argv[3];
    const int columns = argc > 4 ? std::atoi(argv[4]) : DefaultColumns;
    if (columns < 1) {
        return usage();
    }

    // The game loads its sound list too; a sheet has nothing to say.
    setenv("ALSOFT_DRIVERS", "null", 0);
    alutInitWithoutContext(nullptr, nullptr);
    openWindow();
    if (chdir(dataDir.c_str()) != 0) {
        std::cerr << "Cannot enter " << dataDir << std::endl;
        return 1;
    }
    Settings::instance().load("config.dat");

    const std::string name = nameInside(file);
    if (name.empty() || !AnimationLibrary::instance().load(file)) {
        std::cerr << "Cannot read animations/" << file << " in " << dataDir << std::endl;
        return 1;
    }
    startGame(name);
    const Animation* animation = AnimationLibrary::instance().find(name);

    HeldObject held = FigureStage::heldFor(name);
    if (argc > 5 && !parseHeld(argv[5], held)) {
        return usage();
    }

    BodyLists::instance().buildPlayerLists();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    FigureStage stage(name, held);
    std::vector<SheetMoment> moments = sheetTimeline(*animation, FigureStage::isLoop(name), PosesPerSegment);
    if (name == "die") {
        // The body goes on toppling until the animation's whole length has passed.
        unsigned total = 0;
        for (const Keyframe& frame : animation->keyframes) {
            total += static_cast<unsigned>(frame.duration);
        }
        moments.push_back({total, "fallen"});
    }
    ContactSheet sheet(FigureStage::CellWidth, FigureStage::CellHeight, columns, static_cast<int>(moments.size()));
    for (std::size_t i = 0; i < moments.size(); ++i) {
        stage.advanceTo(moments[i].time);
        stage.draw(timeLabel(name, moments[i], i == 0));
        sheet.paste(static_cast<int>(i), readCell());
    }
    return sheet.writePng(outPath) ? 0 : 1;
}
