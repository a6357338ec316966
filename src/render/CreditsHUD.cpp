#include "render/CreditsHUD.h"

CreditsHUD::CreditsHUD() { drawLast = true; }

void CreditsHUD::update(int milliseconds) { elapsedSeconds += milliseconds / 1000.0f; }

void CreditsHUD::draw() {}
