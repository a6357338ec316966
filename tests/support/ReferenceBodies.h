#pragma once

#include <GL/gl.h>
#include <GL/glu.h>


class Head;
class Ink;
class Stick;
class StickFigModel;

// Bodies and ink drawn the costly way: every stick a GLU cylinder and every ball a GLU
// sphere of 16 slices and 16 stacks (the figures' parts compiled into display lists,
// loose sticks and heads tessellated at every draw), and one draw call per drop and
// splat. The game's own drawing is held to this picture pixel by pixel in the tests and
// timed against it in DrawBenchmark.
class ReferenceBodies {
public:
    // Compiles both sizes of parts from the radius settings; needs a GL context.
    ReferenceBodies();
    ~ReferenceBodies();
    ReferenceBodies(const ReferenceBodies&) = delete;
    ReferenceBodies& operator=(const ReferenceBodies&) = delete;

    // As StickFigModel::draw, with a held stick or head but no spurting stumps.
    void drawFigure(const StickFigModel& model) const;
    void drawStick(const Stick& stick) const;
    void drawHead(const Head& head) const;
    void drawInk(const Ink& ink) const;

private:
    struct Size {
        GLuint lists;
        float headRadius;
        float torso;
        float limb;
    };
    void drawArm2(const StickFigModel& model, const Size& size) const;
    void drawArm1(const StickFigModel& model, const Size& size) const;
    void drawLeg(const StickFigModel& model, const Size& size, int leg) const;

    GLUquadric* quadric;
    Size player;
    Size boss;
};
