#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>

#include <array>

namespace dm {

// The ten bitmap fonts of the ticket. A file holds one horizontal strip of 256 glyph
// cells, the glyph of scale byte b at x = b * cellWidth. The "fontm" files are the
// "fonts" faces of half their cell size, doubled in both directions.
struct TicketFontSpec {
    int number; // 1 to 10, as the ticket layout names them
    const char16_t* fileName;
    int cellWidth;
    int cellHeight;
    bool doubled; // a doubled face: every pixel of the base face is 2 x 2 here
};

constexpr int kTicketFontCount = 10;
const std::array<TicketFontSpec, kTicketFontCount>& ticketFontSpecs();
// Throws std::out_of_range for a number outside 1 to 10.
const TicketFontSpec& ticketFontSpec(int number);

// One loaded font, its strip already in the pixel format of the ticket canvas.
struct TicketFont {
    int cellWidth = 0;
    int cellHeight = 0;
    QImage strip; // QImage::Format_RGB32, at least 256 cells wide and one cell tall
};

// The fonts of one language folder, kept between drawings. Every request looks at the
// file again, so a font that was replaced is read anew and one that went missing fails
// the drawing with FileError, exactly as if it were read on every call.
class TicketFonts {
public:
    explicit TicketFonts(QString languageFolder = QString());

    // Another folder (a change of language) forgets every loaded font.
    void setFolder(const QString& languageFolder);
    QString folder() const { return m_folder; }
    QString filePath(int number) const;

    // Throws FileError when the file is missing, unreadable or not a strip of 256 cells.
    const TicketFont& font(int number);

private:
    struct Entry {
        TicketFont font;
        QDateTime modified;
        qint64 size = -1;
        bool loaded = false;
    };
    QString m_folder;
    std::array<Entry, kTicketFontCount> m_cache;
};

} // namespace dm
