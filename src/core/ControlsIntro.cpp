#include "core/ControlsIntro.h"

#include <filesystem>
#include <iostream>

#include "core/AtomicFile.h"

ControlsIntro::ControlsIntro(std::string stateFolder) : folder(std::move(stateFolder)) {}

std::string ControlsIntro::markerPath() const { return (std::filesystem::path(folder) / "controls-shown").string(); }

bool ControlsIntro::due() const {
    std::error_code error;
    return !folder.empty() && !shownThisRun && !std::filesystem::exists(markerPath(), error);
}

void ControlsIntro::shown() {
    shownThisRun = true;
    const std::string problem =
        AtomicFile::replace(markerPath(), "The controls page was shown before the first game; F1 shows it again.\n");
    if (!problem.empty()) {
        std::cout << problem << "\n";
    }
}
