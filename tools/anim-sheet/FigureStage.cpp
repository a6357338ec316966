#include "FigureStage.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cmath>

#include "characters/StickFigure.h"
#include "world/Head.h"
#include "world/Stick.h"

namespace {

const Color FigureBlue{0.10, 0.16, 0.48, 1.0};
const Color CorpseGreen{0.25, 0.45, 0.25, 1.0};
const Color LimbRed{0.60, 0.12, 0.10, 1.0};

// The game's eye is 20 units in front of the floor's front edge at height 10, looking
// along -z; the figure stands a little way into the floor.
constexpr double FigureDepth = -4.0;
constexpr double EyeHeight = 10.0;
constexpr double EyeDistance = 20.0;
constexpr double ViewWidth = 10.0;
constexpr double ViewBottom = -0.5;
constexpr double ViewTop = ViewBottom + ViewWidth * FigureStage::CellHeight / FigureStage::CellWidth;

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

void drawFloor() {
    glColor3d(0.92, 0.92, 0.88);
    glBegin(GL_QUADS);
    glVertex3d(-50.0, 0.0, 0.0);
    glVertex3d(50.0, 0.0, 0.0);
    glVertex3d(50.0, 0.0, -15.0);
    glVertex3d(-50.0, 0.0, -15.0);
    glEnd();
    // A mark where the figure stands, to judge feet that slide or float.
    glColor3d(0.75, 0.75, 0.72);
    glBegin(GL_TRIANGLE_FAN);
    glVertex3d(0.0, 0.001, FigureDepth);
    for (int i = 0; i <= 32; ++i) {
        const double a = i * 2.0 * 3.14159265358979 / 32;
        glVertex3d(1.2 * std::cos(a), 0.001, FigureDepth + 0.5 * std::sin(a));
    }
    glEnd();
}

void drawLabel(const std::string& label) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, FigureStage::CellWidth, 0.0, FigureStage::CellHeight, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glColor3d(0.0, 0.0, 0.0);
    glRasterPos2i(5, FigureStage::CellHeight - 15);
    glutBitmapString(GLUT_BITMAP_HELVETICA_12, reinterpret_cast<const unsigned char*>(label.c_str()));
    glEnable(GL_DEPTH_TEST);
}

}  // namespace

FigureStage::FigureStage(const std::string& name, HeldObject held)
    : figure(std::make_unique<StickFigure>(FigureBlue)), animation(name) {
    figure->position = Vec3(0.0, 0.0, FigureDepth);
    switch (held) {
        case HeldObject::Nothing:
            break;
        case HeldObject::Stick:
            figure->takeWeapon(std::make_unique<Stick>(LimbRed));
            break;
        case HeldObject::Head:
            figure->takeWeapon(std::make_unique<Head>(LimbRed));
            break;
        case HeldObject::Body: {
            auto corpse = std::make_unique<StickFigure>(CorpseGreen);
            corpse->die();
            corpse->setFacingLeft(true);
            corpse->setBazooka(true);
            corpse->getModel().playOnce("transformbazooka");
            if (name == "bazookashotfinish") {
                // The shot has left: the head is the shell.
                corpse->loseLimb(HeadPart);
            }
            corpseModel = &corpse->getModel();
            figure->takeWeapon(std::move(corpse));
            break;
        }
    }

    StickFigModel& model = figure->getModel();
    if (name == "die") {
        figure->die();
        viewCentreX = -2.0;
    } else if (name == "loselimb") {
        figure->loseLimb(ArmPart);
    } else if (name == "transformbazooka" && corpseModel != nullptr) {
        model.loop("bazookastance");
    } else if (isLoop(name)) {
        model.loop(name);
    } else {
        model.playOnce(name);
    }
    if (corpseModel != nullptr && name != "transformbazooka") {
        for (int guard = 0; guard < 100000 && corpseModel->isPlaying(); ++guard) {
            corpseModel->update(1);
        }
    }
}

FigureStage::~FigureStage() = default;

HeldObject FigureStage::heldFor(const std::string& name) {
    if (contains(name, "bazooka")) {
        return HeldObject::Body;
    }
    if (contains(name, "weapon") || contains(name, "swingstick") || name == "riplimbfinish" ||
        name == "pickupfinish") {
        return HeldObject::Stick;
    }
    return HeldObject::Nothing;
}

bool FigureStage::isLoop(const std::string& name) { return contains(name, "stance") || contains(name, "walk"); }

void FigureStage::step() {
    if (animation == "die") {
        // The dead figure's own tick: the topple follows the animation's progress.
        figure->update(1);
    } else {
        figure->getModel().update(1);
    }
    if (animation == "transformbazooka" && corpseModel != nullptr) {
        corpseModel->update(1);
    }
    ++stepsDone;
}

void FigureStage::advanceTo(unsigned time) {
    // The first step shows key frame 1, so the pose of `time` is set by step time + 1.
    while (stepsDone <= time) {
        step();
    }
}

void FigureStage::draw(const std::string& label) {
    glViewport(0, 0, CellWidth, CellHeight);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);

    // The game's projection, cropped to the figure: a frustum through the same eye.
    const double distance = EyeDistance - FigureDepth;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum((viewCentreX - ViewWidth / 2) / distance, (viewCentreX + ViewWidth / 2) / distance,
              (ViewBottom - EyeHeight) / distance, (ViewTop - EyeHeight) / distance, 1.0, 100.0);
    glTranslated(0.0, -EyeHeight, -EyeDistance);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    drawFloor();
    figure->draw();
    drawLabel(label);
}
