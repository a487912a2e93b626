#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Reads the exported office documents back, independently of the code that writes them:
// libzip for the container, QXmlStreamReader for the parts. Malformed XML is reported
// through error, never skipped.
namespace dm::test {

QByteArray contentsOf(const QString& path); // empty when unreadable

// The English column titles of the totals view, as the export tests give them.
inline QStringList totalsTitles() {
    return {QStringLiteral("Scales"),
            QStringLiteral("PLU"),
            QStringLiteral("Name"),
            QStringLiteral("Type"),
            QStringLiteral("Day qty."),
            QStringLiteral("Day transactions"),
            QStringLiteral("Month qty."),
            QStringLiteral("Month transactions"),
            QStringLiteral("Last transaction"),
            QStringLiteral("Read at")};
}

struct ZipContents {
    QString error; // empty when the archive was read
    QMap<QString, QByteArray> entries;
};
ZipContents readZip(const QByteArray& archive);

struct DocxCell {
    int width = -1;          // tcW in twips
    QString text;            // w:t texts, w:tab as tab, w:br as line feed
    bool boldItalic = false; // every run (and the paragraph mark) bold and italic
};

struct DocxTable {
    std::vector<int> grid; // gridCol widths in twips
    int width = -1;        // tblW in twips
    bool fixedLayout = false;
    std::vector<std::vector<DocxCell>> rows;
};

struct DocxBody {
    QString error;
    std::vector<DocxTable> tables;
    int paragraphs = 0; // body paragraphs outside tables
};
DocxBody readDocxBody(const QByteArray& documentXml);

struct XlsxCell {
    QString type;  // "s" shared string, "n" number, "str", "inlineStr"
    QString value; // the string (resolved) or the number's spelling
    int style = 0;
};

struct XlsxSheet {
    QString error;
    QMap<QString, XlsxCell> cells; // by reference, "A1"
    QMap<int, double> widths;      // by column, 1 = A
    int lastRow = 0;
};
// sheetXml: xl/worksheets/sheet1.xml; sharedStrings: xl/sharedStrings.xml (may be empty).
XlsxSheet readXlsxSheet(const QByteArray& sheetXml, const QByteArray& sharedStrings);

struct XlsxFont {
    QString name;
    double size = 0;
};
// The font of cell style index style, from xl/styles.xml.
std::optional<XlsxFont> xlsxCellFont(const QByteArray& stylesXml, int style);

QString columnLetter(int column); // 0 is A

} // namespace dm::test
