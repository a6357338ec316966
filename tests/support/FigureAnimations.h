#pragma once

class TempDataDir;

// Writes the 24 animation files the game loads at start-up into the directory's
// "animations/" folder: three key frames each, every segment frameMilliseconds long,
// so a one-shot animation ends frameMilliseconds after it starts. Write them before the
// Game is first used (its construction loads them).
void writeFigureAnimations(const TempDataDir& dir, int frameMilliseconds = 100);
