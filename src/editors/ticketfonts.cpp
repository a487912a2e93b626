#include "editors/ticketfonts.h"

#include "app/errors.h"
#include "app/langtext.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <stdexcept>

namespace dm {

const std::array<TicketFontSpec, kTicketFontCount>& ticketFontSpecs() {
    static const std::array<TicketFontSpec, kTicketFontCount> specs{{
        {1, u"fonts8x16.bmp", 8, 16, false},
        {2, u"fonts8x19.bmp", 8, 19, false},
        {3, u"fonts8x22.bmp", 8, 22, false},
        {4, u"fonts12x20.bmp", 12, 20, false},
        {5, u"fonts12x24.bmp", 12, 24, false},
        {6, u"fontm8x16.bmp", 16, 32, true},
        {7, u"fontm8x19.bmp", 16, 38, true},
        {8, u"fontm8x22.bmp", 16, 44, true},
        {9, u"fontm12x20.bmp", 24, 40, true},
        {10, u"fontm12x24.bmp", 24, 48, true},
    }};
    return specs;
}

const TicketFontSpec& ticketFontSpec(int number) {
    if (number < 1 || number > kTicketFontCount)
        throw std::out_of_range("ticket font number out of range");
    return ticketFontSpecs()[static_cast<size_t>(number - 1)];
}

TicketFonts::TicketFonts(QString languageFolder) : m_folder(std::move(languageFolder)) {}

void TicketFonts::setFolder(const QString& languageFolder) {
    if (languageFolder == m_folder)
        return;
    m_folder = languageFolder;
    m_cache = {};
}

QString TicketFonts::filePath(int number) const {
    return m_folder + u'/' + QString::fromUtf16(ticketFontSpec(number).fileName);
}

namespace {

[[noreturn]] void unreadable(const QString& path, const QString& why) {
    throw FileError(LangText(u"Text", u"FontUnreadable", u"Cannot read the ticket font file") +
                    u' ' + QDir::toNativeSeparators(path) + QStringLiteral(": ") + why);
}

} // namespace

const TicketFont& TicketFonts::font(int number) {
    const TicketFontSpec& cell = ticketFontSpec(number);
    Entry& entry = m_cache[static_cast<size_t>(number - 1)];
    const QString path = filePath(number);
    const QFileInfo info(path);
    if (!info.isFile()) {
        entry = {};
        throw FileError(LangText(u"Text", u"FontNotFound", u"Ticket font file not found") +
                        QStringLiteral(": ") + QDir::toNativeSeparators(path));
    }
    const QDateTime modified = info.lastModified();
    if (entry.loaded && entry.size == info.size() && entry.modified == modified)
        return entry.font;

    entry = {};
    QImageReader reader(path, "bmp");
    QImage image = reader.read();
    if (image.isNull())
        unreadable(path, reader.errorString());
    if (image.width() < 256 * cell.cellWidth || image.height() < cell.cellHeight)
        unreadable(path, QStringLiteral("%1 x %2 pixels, a strip of 256 cells of %3 x %4 needed")
                             .arg(image.width())
                             .arg(image.height())
                             .arg(cell.cellWidth)
                             .arg(cell.cellHeight));
    entry.font.cellWidth = cell.cellWidth;
    entry.font.cellHeight = cell.cellHeight;
    entry.font.strip = image.convertToFormat(QImage::Format_RGB32);
    entry.size = info.size();
    entry.modified = modified;
    entry.loaded = true;
    return entry.font;
}

} // namespace dm
