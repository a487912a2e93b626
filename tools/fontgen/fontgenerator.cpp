#include "fontgenerator.h"

#include "app/errors.h"
#include "editors/ticketfonts.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <vector>

namespace dm::fontgen {

struct FontGenerator::Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Face() {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

namespace {

constexpr FT_Int32 kLoadFlags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO;

// Characters that get a glyph: everything the code page maps except control codes.
std::vector<std::pair<int, char16_t>> printableBytes(const ScaleCodePage& codePage) {
    std::vector<std::pair<int, char16_t>> out;
    for (int b = 0; b < 256; ++b) {
        const char16_t c = codePage.toChar(static_cast<uint8_t>(b));
        if (c <= 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0))
            continue;
        out.emplace_back(b, c);
    }
    return out;
}

struct Fit {
    int pixelSize = 0;
    int advance = 0;
    int baseline = 0; // from the cell's top
};

// The largest pixel size whose advance fits the cell width and whose ink, over all the
// characters to be drawn, fits the cell height; the ink block is centred vertically.
Fit fitCell(FT_Face face, int width, int height,
            const std::vector<std::pair<int, char16_t>>& chars) {
    for (int size = height; size >= 4; --size) {
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) != 0)
            continue;
        if (FT_Load_Char(face, u'M', kLoadFlags) != 0)
            continue;
        const int advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
        if (advance > width)
            continue;
        int top = 0;
        int bottom = 0;
        for (const auto& [b, c] : chars) {
            if (FT_Get_Char_Index(face, c) == 0 ||
                FT_Load_Char(face, c, kLoadFlags | FT_LOAD_RENDER) != 0)
                continue;
            const FT_GlyphSlot g = face->glyph;
            if (g->bitmap.rows == 0)
                continue;
            top = std::max(top, g->bitmap_top);
            bottom = std::max(bottom, static_cast<int>(g->bitmap.rows) - g->bitmap_top);
        }
        if (top + bottom > height)
            continue;
        return {size, advance, (height - top - bottom) / 2 + top};
    }
    throw FileError(QStringLiteral("the outline font has no size that fits a %1 x %2 cell")
                        .arg(width)
                        .arg(height));
}

QImage blankStrip(int width, int height) {
    QImage img(width, height, QImage::Format_Mono);
    img.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    img.fill(0);
    // Fixed, so that the header does not follow the resolution of the machine.
    img.setDotsPerMeterX(2835);
    img.setDotsPerMeterY(2835);
    return img;
}

} // namespace

FontGenerator::FontGenerator(const QString& outlineFontPath) : m_face(std::make_unique<Face>()) {
    if (FT_Init_FreeType(&m_face->library) != 0)
        throw FileError(QStringLiteral("FreeType could not be started"));
    const QByteArray path = QFile::encodeName(outlineFontPath);
    if (FT_New_Face(m_face->library, path.constData(), 0, &m_face->face) != 0)
        throw FileError(QStringLiteral("cannot open the outline font ") + outlineFontPath);
    if (!FT_IS_SCALABLE(m_face->face))
        throw FileError(QStringLiteral("not an outline font: ") + outlineFontPath);
}

FontGenerator::~FontGenerator() = default;

QImage FontGenerator::renderStrip(int fontNumber, const ScaleCodePage& codePage) {
    const TicketFontSpec& cell = ticketFontSpec(fontNumber);
    const int scale = cell.doubled ? 2 : 1;
    const int width = cell.cellWidth / scale;
    const int height = cell.cellHeight / scale;
    FT_Face face = m_face->face;
    const auto chars = printableBytes(codePage);
    const Fit fit = fitCell(face, width, height, chars);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(fit.pixelSize));

    QImage strip = blankStrip(256 * width, height);
    for (const auto& [b, c] : chars) {
        if (FT_Get_Char_Index(face, c) == 0 ||
            FT_Load_Char(face, c, kLoadFlags | FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot g = face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        if (bm.pixel_mode != FT_PIXEL_MODE_MONO || bm.rows == 0 || bm.width == 0)
            continue;
        const int inkWidth = static_cast<int>(bm.width);
        // Centre the advance in the cell, then pull ink that overhangs back inside it.
        int left = (width - fit.advance) / 2 + g->bitmap_left;
        left = std::min(left, width - inkWidth);
        left = std::max(left, 0);
        const int top = fit.baseline - g->bitmap_top;
        for (int y = 0; y < static_cast<int>(bm.rows); ++y) {
            const int ty = top + y;
            if (ty < 0 || ty >= height)
                continue;
            const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
            for (int x = 0; x < inkWidth && x + left < width; ++x)
                if (row[x >> 3] & (0x80 >> (x & 7)))
                    strip.setPixel(b * width + left + x, ty, 1);
        }
    }
    if (scale == 1)
        return strip;
    // The doubled faces are the small ones pixel for pixel at twice the size.
    QImage doubled = blankStrip(strip.width() * 2, strip.height() * 2);
    for (int y = 0; y < doubled.height(); ++y)
        for (int x = 0; x < doubled.width(); ++x)
            if (strip.pixelIndex(x / 2, y / 2))
                doubled.setPixel(x, y, 1);
    return doubled;
}

QByteArray encodeStrip(const QImage& strip) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!strip.save(&buffer, "BMP"))
        throw FileError(QStringLiteral("the font strip could not be encoded"));
    return bytes;
}

QStringList FontGenerator::writeFontSet(const QString& folder, const ScaleCodePage& codePage) {
    if (!QDir().mkpath(folder))
        throw FileError(QStringLiteral("cannot create the folder ") + folder);
    QStringList written;
    for (const TicketFontSpec& cell : ticketFontSpecs()) {
        const QString path = folder + u'/' + QString::fromUtf16(cell.fileName);
        const QByteArray bytes = encodeStrip(renderStrip(cell.number, codePage));
        QFile existing(path);
        if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
            continue;
        existing.close();
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            throw FileError(QStringLiteral("cannot write ") + path + QStringLiteral(": ") +
                            out.errorString());
        written.append(path);
    }
    return written;
}

} // namespace dm::fontgen
