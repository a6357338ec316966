#include "ContactSheet.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Owns the libpng write structures for one file.
class PngWriter {
public:
    PngWriter() {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        if (png != nullptr) {
            info = png_create_info_struct(png);
        }
    }
    ~PngWriter() { png_destroy_write_struct(&png, &info); }
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    bool ready() const { return png != nullptr && info != nullptr; }

    png_structp png = nullptr;
    png_infop info = nullptr;
};

// A separate function so that no object with a destructor lives in the frame that
// setjmp marks.
bool writeRows(PngWriter& writer, std::FILE* file, int width, int height,
               const std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(writer.png))) {
        return false;
    }
    png_init_io(writer.png, file);
    png_set_IHDR(writer.png, writer.info, static_cast<png_uint_32>(width),
                 static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(writer.png, writer.info);
    png_write_image(writer.png, const_cast<png_bytepp>(rows.data()));
    png_write_end(writer.png, nullptr);
    return true;
}

}  // namespace

ContactSheet::ContactSheet(int cellWidth_, int cellHeight_, int columns_, int cells)
    : cellWidth(cellWidth_),
      cellHeight(cellHeight_),
      columns(columns_ < 1 ? 1 : columns_),
      rows(cells < 1 ? 1 : (cells + columns - 1) / columns),
      image(static_cast<std::size_t>(width()) * height() * 3, 200) {}

void ContactSheet::paste(int cell, const std::vector<unsigned char>& pixels) {
    if (cell < 0 || cell >= columns * rows ||
        pixels.size() < static_cast<std::size_t>(cellWidth) * cellHeight * 3) {
        return;
    }
    const int left = Gap + (cell % columns) * (cellWidth + Gap);
    const int top = Gap + (cell / columns) * (cellHeight + Gap);
    const std::size_t rowBytes = static_cast<std::size_t>(cellWidth) * 3;
    for (int row = 0; row < cellHeight; ++row) {
        const unsigned char* from = &pixels[static_cast<std::size_t>(cellHeight - 1 - row) * rowBytes];
        unsigned char* to = &image[(static_cast<std::size_t>(top + row) * width() + left) * 3];
        std::copy(from, from + rowBytes, to);
    }
}

bool ContactSheet::writePng(const std::string& path) const {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        std::cerr << "Cannot write " << path << std::endl;
        return false;
    }
    PngWriter writer;
    std::vector<png_bytep> rowPointers;
    for (int row = 0; row < height(); ++row) {
        rowPointers.push_back(const_cast<png_bytep>(&image[static_cast<std::size_t>(row) * width() * 3]));
    }
    if (!writer.ready() || !writeRows(writer, file.get(), width(), height(), rowPointers)) {
        std::cerr << "Cannot encode " << path << std::endl;
        return false;
    }
    return true;
}
