#include "export/goodsdocx.h"

#include "officereader.h"

#include <gtest/gtest.h>

namespace dm {
namespace {

using test::DocxBody;
using test::readDocxBody;
using test::readZip;

const QStringList kTitles{QStringLiteral("PLU"), QStringLiteral("Name"), QStringLiteral("Type"),
                          QStringLiteral("Price"), QStringLiteral("Barcode")};

DocxBody bodyOf(const GoodsExportTable& table) {
    const test::ZipContents zip = readZip(buildGoodsDocx(table));
    EXPECT_TRUE(zip.error.isEmpty()) << zip.error.toStdString();
    for (const char* part : {"[Content_Types].xml", "_rels/.rels", "word/document.xml",
                             "word/_rels/document.xml.rels", "word/styles.xml"})
        EXPECT_TRUE(zip.entries.contains(QString::fromLatin1(part))) << part;
    DocxBody body = readDocxBody(zip.entries.value(QStringLiteral("word/document.xml")));
    EXPECT_TRUE(body.error.isEmpty()) << body.error.toStdString();
    return body;
}

std::vector<QStringList> texts(const test::DocxTable& t) {
    std::vector<QStringList> out;
    for (const auto& row : t.rows) {
        QStringList r;
        for (const auto& c : row)
            r << c.text;
        out.push_back(r);
    }
    return out;
}

// One table of five columns with the widths in twips (points x 20) in the grid and in
// every cell, every cell bold italic.
void expectTableLayout(const test::DocxTable& t) {
    const std::vector<int> widths{1200, 4600, 800, 1200, 2000};
    EXPECT_EQ(t.grid, widths);
    EXPECT_EQ(t.width, 9800);
    EXPECT_TRUE(t.fixedLayout);
    for (size_t r = 0; r < t.rows.size(); ++r) {
        ASSERT_EQ(t.rows[r].size(), 5u) << "row " << r;
        for (size_t c = 0; c < 5; ++c) {
            EXPECT_EQ(t.rows[r][c].width, widths[c]) << "row " << r << " column " << c;
            EXPECT_TRUE(t.rows[r][c].boldItalic) << "row " << r << " column " << c;
        }
    }
}

TEST(GoodsDocx, HoldsTheHeaderAndTheGoodsInTheGivenOrder) {
    GoodsExportTable table{
        kTitles,
        {{42, QStringLiteral("Milk"), QStringLiteral("count"), QStringLiteral("1.20"),
          QStringLiteral("4600000000000")},
         {7, QStringLiteral("Apples"), QStringLiteral("weight"), QStringLiteral("2.50"), QString()},
         {99999999, QString(), QString(), QString(), QString()},
         {std::nullopt, QStringLiteral("no PLU"), {}, {}, {}}}};
    const DocxBody body = bodyOf(table);
    ASSERT_EQ(body.tables.size(), 1u);
    const test::DocxTable& t = body.tables[0];
    expectTableLayout(t);
    const std::vector<QStringList> expected{
        kTitles,
        {QStringLiteral("42"), QStringLiteral("Milk"), QStringLiteral("count"),
         QStringLiteral("1.20"), QStringLiteral("4600000000000")},
        {QStringLiteral("7"), QStringLiteral("Apples"), QStringLiteral("weight"),
         QStringLiteral("2.50"), QString()},
        {QStringLiteral("99999999"), QString(), QString(), QString(), QString()},
        {QString(), QStringLiteral("no PLU"), QString(), QString(), QString()}};
    EXPECT_EQ(texts(t), expected);
    // The body ends with a paragraph after the table, as word processors require.
    EXPECT_GE(body.paragraphs, 1);
}

TEST(GoodsDocx, NoGoodsGiveTheHeaderRowAlone) {
    const DocxBody body = bodyOf({kTitles, {}});
    ASSERT_EQ(body.tables.size(), 1u);
    expectTableLayout(body.tables[0]);
    EXPECT_EQ(texts(body.tables[0]), std::vector<QStringList>{kTitles});
}

TEST(GoodsDocx, MissingTitlesGiveEmptyHeaderCells) {
    const DocxBody body = bodyOf({{QStringLiteral("P"), QStringLiteral("N")}, {}});
    ASSERT_EQ(body.tables.size(), 1u);
    const std::vector<QStringList> expected{
        {QStringLiteral("P"), QStringLiteral("N"), QString(), QString(), QString()}};
    EXPECT_EQ(texts(body.tables[0]), expected);
}

// Texts that must reach the reader unchanged, or as close as the format allows.
struct TextCase {
    const char* label;
    QString written;
    QString read;
};

TEST(GoodsDocx, TextsRoundTrip) {
    const std::vector<TextCase> cases{
        {"markup", QStringLiteral("<b>A & B</b> \"q\" 'a' ]]>"),
         QStringLiteral("<b>A & B</b> \"q\" 'a' ]]>")},
        {"cyrillic", QString::fromUtf8("Молоко 3,2% «Домик»"),
         QString::fromUtf8("Молоко 3,2% «Домик»")},
        {"outside the BMP", QString::fromUtf8("Tea \xF0\x9F\x8D\xB5"),
         QString::fromUtf8("Tea \xF0\x9F\x8D\xB5")},
        {"blanks kept", QStringLiteral("  two  spaces  "), QStringLiteral("  two  spaces  ")},
        {"tab and breaks", QStringLiteral("a\tb\r\nc\nd\re"), QStringLiteral("a\tb\nc\nd\ne")},
        {"characters XML cannot hold",
         QStringLiteral("a") + QChar(0x01) + QChar(0x1F) + QChar(0xFFFE) + QChar(0xD800) +
             QStringLiteral("b") + QChar(0xDC00),
         QStringLiteral("ab")},
        {"entity lookalike", QStringLiteral("&amp;&#60;"), QStringLiteral("&amp;&#60;")},
    };
    GoodsExportTable table{{cases[0].written, {}, {}, {}, {}}, {}};
    qint64 plu = 1;
    for (const TextCase& c : cases)
        table.rows.push_back({plu++, c.written, c.written, c.written, c.written});
    const DocxBody body = bodyOf(table);
    ASSERT_EQ(body.tables.size(), 1u);
    const test::DocxTable& t = body.tables[0];
    ASSERT_EQ(t.rows.size(), cases.size() + 1);
    EXPECT_EQ(t.rows[0][0].text, cases[0].read) << "title";
    for (size_t i = 0; i < cases.size(); ++i)
        for (int c = 1; c < 5; ++c)
            EXPECT_EQ(t.rows[i + 1][size_t(c)].text, cases[i].read)
                << cases[i].label << ", column " << c;
}

} // namespace
} // namespace dm
