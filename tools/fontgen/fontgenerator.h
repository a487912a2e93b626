#pragma once

#include "scalefiles/scalecodepage.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>

namespace dm::fontgen {

// Renders the ticket's bitmap fonts from an outline font through FreeType. The glyphs
// are drawn monochrome with the font's hinting, as a thermal print head would show
// them; the same font file and FreeType give the same bytes on every run.
class FontGenerator {
public:
    explicit FontGenerator(const QString& outlineFontPath); // throws FileError
    ~FontGenerator();
    FontGenerator(const FontGenerator&) = delete;
    FontGenerator& operator=(const FontGenerator&) = delete;

    // One strip of 256 cells for the ticket font of this number (1 to 10), each byte's
    // glyph taken through the code page; bytes without a character stay blank.
    // Returns a 1-bit image, black glyphs on white.
    QImage renderStrip(int fontNumber, const ScaleCodePage& codePage);

    // Writes the ten font files into the folder. A file that already holds the same
    // bytes is left untouched. Returns the files written; throws FileError.
    QStringList writeFontSet(const QString& folder, const ScaleCodePage& codePage);

private:
    struct Face;
    std::unique_ptr<Face> m_face;
};

// The BMP bytes of a strip, as the font files hold them.
QByteArray encodeStrip(const QImage& strip);

} // namespace dm::fontgen
