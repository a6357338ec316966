#include "render/Font.h"

#include <GL/gl.h>

#include "render/SolidTexture.h"
#include "render/TextureManager.h"

namespace {

constexpr int kGridSide = 16;
constexpr float RimShare = 0.04f;

unsigned digitCount(unsigned long long magnitude) {
    unsigned count = 1;
    while (magnitude >= 10) {
        magnitude /= 10;
        ++count;
    }
    return count;
}

// Texture t = 0 is the image's top row, so a glyph's top edge takes the cell's row / 16.
void glyphQuad(int character, float x, float y, double size = Font::CellSize) {
    const double col = character % kGridSide;
    const double row = character / kGridSide;
    const double s0 = col / kGridSide;
    const double s1 = (col + 1) / kGridSide;
    const double t0 = row / kGridSide;
    const double t1 = (row + 1) / kGridSide;
    glTexCoord2d(s0, t0); glVertex3d(x, y + size, 0.0);
    glTexCoord2d(s1, t0); glVertex3d(x + size, y + size, 0.0);
    glTexCoord2d(s1, t1); glVertex3d(x + size, y, 0.0);
    glTexCoord2d(s0, t1); glVertex3d(x, y, 0.0);
}

}  // namespace

std::vector<Font::DigitCell> Font::digitCells(float x, int value, unsigned digits) {
    unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    const unsigned count = digits == AllDigits ? digitCount(magnitude) : digits;
    std::vector<DigitCell> cells;
    cells.reserve(count);
    float left = x + static_cast<float>(count) * CellSize - CellSize;
    for (unsigned i = 0; i < count; ++i) {
        cells.push_back({left, static_cast<int>(magnitude % 10)});
        magnitude /= 10;
        left -= CellSize;
    }
    return cells;
}

void Font::drawNumber(float x, float y, int value, unsigned digits) {
    TextureManager::instance().bind("font");
    glBegin(GL_QUADS);
    for (const DigitCell& cell : digitCells(x, value, digits)) {
        glyphQuad('0' + cell.digit, cell.left, y);
    }
    glEnd();
}

void Font::drawText(float x, float y, const std::string& text, float size) {
    TextureManager::instance().bind("font");
    glBegin(GL_QUADS);
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        glyphQuad(byte >= ' ' && byte <= '~' ? byte : '?', x, y, size);
        x += size * TextPitch;
    }
    glEnd();
}

void Font::drawOutlinedText(float x, float y, const std::string& text, float size, const Color& fill,
                            const Color& outline) {
    const SolidTexture solid;
    // Sharp glyphs: the blend of smaller mipmaps closes up the bold letters' gaps.
    TextureManager::instance().bind("font");
    GLint minFilter = GL_LINEAR;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // The rim is the line drawn eight times around its own place, a little way out.
    const float rim = size * RimShare;
    glColor4dv(outline.data());
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (dx != 0 || dy != 0) {
                drawText(x + dx * rim, y + dy * rim, text, size);
            }
        }
    }
    glColor4dv(fill.data());
    drawText(x, y, text, size);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
}

float Font::textWidth(const std::string& text, float size) {
    // The last glyph's whole cell counts: its right half may hold ink too.
    return text.empty() ? 0.0f : size * (TextPitch * static_cast<float>(text.size() - 1) + 1.0f);
}

float Font::sizeToFit(const std::string& text, float width, float largest) {
    const float atLargest = textWidth(text, largest);
    return atLargest <= width ? largest : largest * width / atLargest;
}
