#pragma once

#include "characters/StickFigure.h"

// The computer-controlled stick figure of kind 0..3.
class Enemy : public StickFigure {
public:
    explicit Enemy(int kind);
    ~Enemy() override;

    int getKind() const { return kind; }

private:
    int kind = 0;
};
