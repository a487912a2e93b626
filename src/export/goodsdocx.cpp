#include "export/goodsdocx.h"

#include "export/xmltext.h"
#include "export/ziparchive.h"

namespace dm {

namespace {

constexpr int kTwipsPerPoint = 20;

// A4 portrait; margins that leave room for the 490-point table.
constexpr const char* kSection =
    "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
    "<w:pgMar w:top=\"1134\" w:right=\"850\" w:bottom=\"1134\" w:left=\"1134\" "
    "w:header=\"709\" w:footer=\"709\" w:gutter=\"0\"/></w:sectPr>";

constexpr const char* kBoldItalic = "<w:rPr><w:b/><w:bCs/><w:i/><w:iCs/></w:rPr>";

void appendRun(QByteArray& out, QStringView text) {
    out.append("<w:r>");
    out.append(kBoldItalic);
    out.append("<w:t xml:space=\"preserve\">");
    appendXmlText(out, text);
    out.append("</w:t></w:r>");
}

// Tabs and line breaks inside a value become the document's own tab and break marks;
// as plain characters a reader would fold them into spaces.
void appendCellText(QByteArray& out, const QString& text) {
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\t' && c != u'\n' && c != u'\r')
            continue;
        if (i > start)
            appendRun(out, QStringView(text).mid(start, i - start));
        out.append("<w:r>");
        out.append(kBoldItalic);
        out.append(c == u'\t' ? "<w:tab/>" : "<w:br/>");
        out.append("</w:r>");
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        appendRun(out, QStringView(text).mid(start));
}

void appendCell(QByteArray& out, int column, const QString& text) {
    out.append("<w:tc><w:tcPr><w:tcW w:w=\"");
    out.append(QByteArray::number(kGoodsColumnWidthsPt[column] * kTwipsPerPoint));
    out.append("\" w:type=\"dxa\"/></w:tcPr><w:p><w:pPr>");
    out.append(kBoldItalic);
    out.append("</w:pPr>");
    appendCellText(out, text);
    out.append("</w:p></w:tc>");
}

void appendRow(QByteArray& out, const std::array<const QString*, 5>& cells) {
    out.append("<w:tr>");
    for (int c = 0; c < 5; ++c)
        appendCell(out, c, *cells[c]);
    out.append("</w:tr>");
}

QByteArray documentXml(const GoodsExportTable& table) {
    QByteArray out;
    out.reserve(1024 + qsizetype(table.rows.size()) * 900);
    out.append("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
               "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/"
               "2006/main\"><w:body>");
    // The new document's own empty paragraph and the one added before the table.
    out.append("<w:p/><w:p/>");

    int totalWidth = 0;
    for (int w : kGoodsColumnWidthsPt)
        totalWidth += w * kTwipsPerPoint;
    out.append("<w:tbl><w:tblPr><w:tblW w:w=\"");
    out.append(QByteArray::number(totalWidth));
    out.append("\" w:type=\"dxa\"/><w:tblBorders>");
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
        out.append("<w:");
        out.append(side);
        out.append(" w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>");
    }
    out.append("</w:tblBorders><w:tblLayout w:type=\"fixed\"/></w:tblPr><w:tblGrid>");
    for (int w : kGoodsColumnWidthsPt) {
        out.append("<w:gridCol w:w=\"");
        out.append(QByteArray::number(w * kTwipsPerPoint));
        out.append("\"/>");
    }
    out.append("</w:tblGrid>");

    const QString none;
    const auto title = [&](int i) -> const QString& {
        return i < table.titles.size() ? table.titles[i] : none;
    };
    appendRow(out, {&title(0), &title(1), &title(2), &title(3), &title(4)});
    QString plu;
    for (const GoodsExportRow& row : table.rows) {
        plu = row.plu ? QString::number(*row.plu) : QString();
        appendRow(out, {&plu, &row.name, &row.type, &row.price, &row.barcode});
    }
    out.append("</w:tbl><w:p/>");
    out.append(kSection);
    out.append("</w:body></w:document>");
    return out;
}

constexpr const char* kContentTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" "
    "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
    "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "<Override PartName=\"/word/styles.xml\" ContentType=\"application/"
    "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
    "</Types>";

constexpr const char* kPackageRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
    "2006/relationships/officeDocument\" Target=\"word/document.xml\"/>"
    "</Relationships>";

constexpr const char* kDocumentRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
    "2006/relationships/styles\" Target=\"styles.xml\"/>"
    "</Relationships>";

// A serif face that carries Cyrillic, at 10 points so that the type words fit the
// 40-point column; named here so that every reader lays the table out alike.
constexpr const char* kStyles =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
    "<w:docDefaults><w:rPrDefault><w:rPr>"
    "<w:rFonts w:ascii=\"Times New Roman\" w:hAnsi=\"Times New Roman\" "
    "w:eastAsia=\"Times New Roman\" w:cs=\"Times New Roman\"/>"
    "<w:sz w:val=\"20\"/><w:szCs w:val=\"20\"/></w:rPr></w:rPrDefault>"
    "<w:pPrDefault><w:pPr><w:spacing w:after=\"0\" w:line=\"240\" w:lineRule=\"auto\"/>"
    "</w:pPr></w:pPrDefault></w:docDefaults>"
    "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\">"
    "<w:name w:val=\"Normal\"/><w:qFormat/></w:style>"
    "</w:styles>";

} // namespace

QByteArray buildGoodsDocx(const GoodsExportTable& table) {
    ZipWriter zip;
    zip.add(QStringLiteral("[Content_Types].xml"), QByteArray(kContentTypes));
    zip.add(QStringLiteral("_rels/.rels"), QByteArray(kPackageRels));
    zip.add(QStringLiteral("word/document.xml"), documentXml(table));
    zip.add(QStringLiteral("word/_rels/document.xml.rels"), QByteArray(kDocumentRels));
    zip.add(QStringLiteral("word/styles.xml"), QByteArray(kStyles));
    return zip.finish();
}

} // namespace dm
