#pragma once

#include <string>

// Key codes (a plain key is its character, a special key 256 + GLUT's code) as a player
// reads them and as a settings file writes them.
namespace KeyNames {

// "Left", "F1", "Space", "Enter", "M", ".", ... ; "-" for no key.
std::string name(int code);
// The settings line binding `setting` to the key: a "key" line where the file format can
// name the key ("key player1Drop m", "key player1Left left"), else an "int" line.
std::string settingsLine(const std::string& setting, int code);
// The code a key press binds: a letter typed with Shift or Caps Lock binds the letter,
// as the settings files spell them.
int forBinding(int code);

}  // namespace KeyNames
