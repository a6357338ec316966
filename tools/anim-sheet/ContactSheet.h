#pragma once

#include <string>
#include <vector>

// A grid of equally sized RGB cells on white paper, written out as one PNG.
class ContactSheet {
public:
    ContactSheet(int cellWidth, int cellHeight, int columns, int cells);

    // `pixels` is a cell as glReadPixels gives it: RGB, bottom row first.
    void paste(int cell, const std::vector<unsigned char>& pixels);
    // False (after a message on standard error) when the file cannot be written.
    bool writePng(const std::string& path) const;

    int width() const { return columns * cellWidth + (columns + 1) * Gap; }
    int height() const { return rows * cellHeight + (rows + 1) * Gap; }

private:
    static constexpr int Gap = 4;

    int cellWidth;
    int cellHeight;
    int columns;
    int rows;
    std::vector<unsigned char> image;
};
