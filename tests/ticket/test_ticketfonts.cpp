#include "ticketimage.h"

#include "editors/ticketfonts.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dm;
using namespace dm::test;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int runFontgen(const QStringList& args, QByteArray* output = nullptr) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(DM_FONTGEN_EXE), args);
    if (!p.waitForFinished(60000))
        return -1;
    if (output)
        *output = p.readAll();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QString fontFile(const QString& folder, const TicketFontSpec& cell) {
    return folder + u'/' + QString::fromUtf16(cell.fileName);
}

TEST(TicketFontGenerator, TwoRunsGiveTheSameBytesInStripsOf256Cells) {
    QTemporaryDir a, b;
    const QString id = QStringLiteral("1049");
    ASSERT_EQ(runFontgen({QStringLiteral("--out"), a.path(), QStringLiteral("--language-id"), id}),
              0);
    ASSERT_EQ(runFontgen({QStringLiteral("--out"), b.path(), QStringLiteral("--language-id"), id}),
              0);
    for (const TicketFontSpec& cell : ticketFontSpecs()) {
        const QByteArray first = readAll(fontFile(a.path(), cell));
        ASSERT_FALSE(first.isEmpty()) << cell.number;
        EXPECT_EQ(first, readAll(fontFile(b.path(), cell))) << cell.number;
        const QImage img = QImage::fromData(first, "BMP");
        EXPECT_EQ(img.size(), QSize(256 * cell.cellWidth, cell.cellHeight)) << cell.number;
        EXPECT_EQ(img.depth(), 1) << cell.number;
    }
    // A run over files that are already right leaves them alone.
    QByteArray out;
    ASSERT_EQ(
        runFontgen({QStringLiteral("--out"), a.path(), QStringLiteral("--language-id"), id}, &out),
        0);
    EXPECT_TRUE(out.contains(" 0 of 10 files written")) << out.constData();
}

TEST(TicketFontGenerator, RefusesWhatItCannotUse) {
    QTemporaryDir dir;
    QByteArray out;
    EXPECT_EQ(runFontgen({QStringLiteral("--font"), dir.path() + QStringLiteral("/none.ttf"),
                          QStringLiteral("--out"), dir.path()},
                         &out),
              1);
    EXPECT_TRUE(out.contains("none.ttf")) << out.constData();
    EXPECT_EQ(runFontgen({QStringLiteral("--out")}), 2);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

class StagedFontsTest : public ::testing::TestWithParam<const char*> {
protected:
    QString folder() const {
        return stagedProgramFolder() + QStringLiteral("/Languages/") +
               QString::fromLatin1(GetParam());
    }
};

// The doubled faces are the small ones at twice the size, pixel for pixel.
TEST_P(StagedFontsTest, DoubledFacesAreTheSmallOnesScaled) {
    TicketFonts fonts(folder());
    for (int n = 1; n <= 5; ++n) {
        const QImage& small = fonts.font(n).strip;
        const QImage& big = fonts.font(n + 5).strip;
        EXPECT_EQ(small.scaled(small.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation),
                  big)
            << n;
    }
}

// Glyphs where the code page has characters, blank cells where it has none.
TEST_P(StagedFontsTest, GlyphsFollowTheCodePage) {
    TicketFonts fonts(folder());
    struct Cell {
        int byte;
        bool ink;
    };
    const Cell cells[] = {{'A', true},  {'0', true},  {'#', true},   {0xC6, true}, // Zhe
                          {0xFF, true}, {' ', false}, {0x0A, false}, {0x98, false}};
    for (int n : {1, 5, 10}) {
        const TicketFont& f = fonts.font(n);
        for (const Cell& c : cells)
            EXPECT_EQ(hasInk(f.strip, QRect(c.byte * f.cellWidth, 0, f.cellWidth, f.cellHeight)),
                      c.ink)
                << "font " << n << " byte " << c.byte;
        // Distinct characters look distinct.
        EXPECT_NE(f.strip.copy('O' * f.cellWidth, 0, f.cellWidth, f.cellHeight),
                  f.strip.copy('0' * f.cellWidth, 0, f.cellWidth, f.cellHeight));
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, StagedFontsTest, ::testing::Values("ENG", "RUS"));

} // namespace
