#pragma once

#include <memory>
#include <string>

class StickFigModel;
class StickFigure;

// What the figure on a sheet holds while it plays.
enum class HeldObject { Nothing, Stick, Head, Body };

// One stick figure on a patch of floor, seen through the game's camera cropped to the
// figure, playing one animation through the real player and model. A figure that dies
// topples as in the game; one that loses a limb really loses arm 1; "transformbazooka"
// plays on the corpse that a figure carries on its shoulder.
class FigureStage {
public:
    static constexpr int CellWidth = 260;
    static constexpr int CellHeight = 234;

    FigureStage(const std::string& animation, HeldObject held);
    ~FigureStage();
    FigureStage(const FigureStage&) = delete;
    FigureStage& operator=(const FigureStage&) = delete;

    // Plays on until `time` ms after the animation started, in 1 ms steps, so that each
    // moment shows exactly the pose of that time.
    void advanceTo(unsigned time);
    // Draws floor, figure and label into a CellWidth x CellHeight viewport.
    void draw(const std::string& label);

    // The held object a name suggests: a stick for weapon moves and for the end of a
    // rip or pick-up, a carried corpse for the bazooka moves.
    static HeldObject heldFor(const std::string& animation);
    static bool isLoop(const std::string& animation);

private:
    void step();

    std::unique_ptr<StickFigure> figure;
    StickFigModel* corpseModel = nullptr;
    std::string animation;
    unsigned stepsDone = 0;
    double viewCentreX = 0.0;
};
