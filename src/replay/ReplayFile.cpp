#include "replay/ReplayFile.h"

#include <cstdio>

void ReplayFile::writeHeader(std::ostream& out) const {
    out << "margin-brawler-replay " << FormatVersion << "\n"
        << "version " << gameVersion << "\n"
        << "mode " << (arcade ? "arcade" : "home") << "\n"
        << "level " << start.levelFile << "\n"
        << "players " << start.player1 << " " << start.player2 << "\n"
        << "seed " << start.seed << "\n"
        << "credits " << credits << "\n"
        << "controls ";
    for (const bool held : controls.held) out << (held ? '1' : '0');
    for (const double value : controls.sticks) {
        char text[32];
        std::snprintf(text, sizeof text, " %.17g", value);
        out << text;
    }
    out << "\n";
    for (const std::string& line : settings) out << "setting " << line << "\n";
    for (const DataFile& file : data) out << "data " << file.name << " " << file.digest << "\n";
    out << "play\n";
}

std::string ReplayFile::eventLine(int tick, const InputEvent& event) {
    char line[96];
    switch (event.kind) {
        case InputEvent::Kind::Key: std::snprintf(line, sizeof line, "%d k %d %d\n", tick, event.code, event.down); break;
        case InputEvent::Kind::Button:
            std::snprintf(line, sizeof line, "%d b %d %d %d\n", tick, event.device, event.code, event.down);
            break;
        case InputEvent::Kind::Axis:
            std::snprintf(line, sizeof line, "%d a %d %d %.17g\n", tick, event.device, event.code, event.value);
            break;
        case InputEvent::Kind::Credits:
            std::snprintf(line, sizeof line, "%d c %d %d\n", tick, event.device, event.code);
            break;
    }
    return line;
}
