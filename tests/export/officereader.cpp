#include "officereader.h"

#include <QFile>
#include <QXmlStreamReader>

#include <zip.h>

namespace dm::test {

QByteArray contentsOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ZipContents readZip(const QByteArray& archive) {
    ZipContents out;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src =
        zip_source_buffer_create(archive.constData(), zip_uint64_t(archive.size()), 0, &error);
    zip_t* za = src ? zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
    if (!za) {
        out.error = QString::fromUtf8(zip_error_strerror(&error));
        if (src)
            zip_source_free(src);
        zip_error_fini(&error);
        return out;
    }
    const zip_int64_t n = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < n && out.error.isEmpty(); ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(za, zip_uint64_t(i), 0, &st) < 0) {
            out.error = QStringLiteral("stat failed");
            break;
        }
        QByteArray data(qsizetype(st.size), '\0');
        zip_file_t* f = zip_fopen_index(za, zip_uint64_t(i), 0);
        if (!f || zip_fread(f, data.data(), st.size) != zip_int64_t(st.size))
            out.error = QStringLiteral("cannot read ") + QString::fromUtf8(st.name);
        if (f)
            zip_fclose(f);
        out.entries.insert(QString::fromUtf8(st.name), data);
    }
    zip_discard(za);
    zip_error_fini(&error);
    return out;
}

namespace {

bool isW(const QXmlStreamReader& x, QStringView name) {
    return x.namespaceUri() ==
               QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main") &&
           x.name() == name;
}

int wAttr(const QXmlStreamReader& x, QStringView name) {
    for (const QXmlStreamAttribute& a : x.attributes())
        if (a.name() == name)
            return a.value().toInt();
    return -1;
}

QString wAttrText(const QXmlStreamReader& x, QStringView name) {
    for (const QXmlStreamAttribute& a : x.attributes())
        if (a.name() == name)
            return a.value().toString();
    return QString();
}

// Reads one w:rPr; true when it holds both w:b and w:i (switched on).
bool readBoldItalic(QXmlStreamReader& x) {
    bool b = false, i = false;
    while (x.readNextStartElement()) {
        const QString val = wAttrText(x, u"val");
        const bool on = val.isEmpty() || val == u"1" || val == u"true" || val == u"on";
        if (isW(x, u"b"))
            b = on;
        else if (isW(x, u"i"))
            i = on;
        x.skipCurrentElement();
    }
    return b && i;
}

DocxCell readCell(QXmlStreamReader& x) {
    DocxCell cell;
    bool allBoldItalic = true;
    int marks = 0;
    while (x.readNextStartElement()) {
        if (isW(x, u"tcPr")) {
            while (x.readNextStartElement()) {
                if (isW(x, u"tcW"))
                    cell.width = wAttr(x, u"w");
                x.skipCurrentElement();
            }
        } else if (isW(x, u"p")) {
            if (!cell.text.isEmpty())
                cell.text += u'\n';
            while (x.readNextStartElement()) {
                if (isW(x, u"pPr")) {
                    while (x.readNextStartElement()) {
                        if (isW(x, u"rPr")) {
                            allBoldItalic = readBoldItalic(x) && allBoldItalic;
                            ++marks;
                        } else {
                            x.skipCurrentElement();
                        }
                    }
                } else if (isW(x, u"r")) {
                    bool runBoldItalic = false;
                    while (x.readNextStartElement()) {
                        if (isW(x, u"rPr"))
                            runBoldItalic = readBoldItalic(x);
                        else if (isW(x, u"t"))
                            cell.text += x.readElementText();
                        else if (isW(x, u"tab")) {
                            cell.text += u'\t';
                            x.skipCurrentElement();
                        } else if (isW(x, u"br")) {
                            cell.text += u'\n';
                            x.skipCurrentElement();
                        } else
                            x.skipCurrentElement();
                    }
                    allBoldItalic = allBoldItalic && runBoldItalic;
                } else {
                    x.skipCurrentElement();
                }
            }
        } else {
            x.skipCurrentElement();
        }
    }
    cell.boldItalic = allBoldItalic && marks > 0;
    return cell;
}

DocxTable readTable(QXmlStreamReader& x) {
    DocxTable t;
    while (x.readNextStartElement()) {
        if (isW(x, u"tblPr")) {
            while (x.readNextStartElement()) {
                if (isW(x, u"tblW"))
                    t.width = wAttr(x, u"w");
                else if (isW(x, u"tblLayout"))
                    t.fixedLayout = wAttrText(x, u"type") == u"fixed";
                x.skipCurrentElement();
            }
        } else if (isW(x, u"tblGrid")) {
            while (x.readNextStartElement()) {
                if (isW(x, u"gridCol"))
                    t.grid.push_back(wAttr(x, u"w"));
                x.skipCurrentElement();
            }
        } else if (isW(x, u"tr")) {
            std::vector<DocxCell> row;
            while (x.readNextStartElement()) {
                if (isW(x, u"tc"))
                    row.push_back(readCell(x));
                else
                    x.skipCurrentElement();
            }
            t.rows.push_back(std::move(row));
        } else {
            x.skipCurrentElement();
        }
    }
    return t;
}

} // namespace

DocxBody readDocxBody(const QByteArray& documentXml) {
    DocxBody body;
    QXmlStreamReader x(documentXml);
    if (!x.readNextStartElement() || !isW(x, u"document")) {
        body.error = QStringLiteral("no w:document");
        return body;
    }
    while (x.readNextStartElement()) {
        if (!isW(x, u"body")) {
            x.skipCurrentElement();
            continue;
        }
        while (x.readNextStartElement()) {
            if (isW(x, u"tbl"))
                body.tables.push_back(readTable(x));
            else {
                if (isW(x, u"p"))
                    ++body.paragraphs;
                x.skipCurrentElement();
            }
        }
    }
    if (x.hasError())
        body.error = x.errorString();
    return body;
}

namespace {

QStringList sharedStringList(const QByteArray& xml, QString& error) {
    QStringList strings;
    if (xml.isEmpty())
        return strings;
    QXmlStreamReader x(xml);
    QString current;
    bool inSi = false;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == u"si") {
            inSi = true;
            current.clear();
        } else if (x.isStartElement() && x.name() == u"t" && inSi) {
            current += x.readElementText();
        } else if (x.isEndElement() && x.name() == u"si") {
            strings << current;
            inSi = false;
        }
    }
    if (x.hasError())
        error = x.errorString();
    return strings;
}

int rowOf(const QString& ref) {
    qsizetype i = 0;
    while (i < ref.size() && ref[i].isLetter())
        ++i;
    return ref.mid(i).toInt();
}

} // namespace

QString columnLetter(int column) {
    QString s;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        s.prepend(QChar(u'A' + (c - 1) % 26));
    return s;
}

XlsxSheet readXlsxSheet(const QByteArray& sheetXml, const QByteArray& sharedStrings) {
    XlsxSheet sheet;
    const QStringList strings = sharedStringList(sharedStrings, sheet.error);
    QXmlStreamReader x(sheetXml);
    while (!x.atEnd() && sheet.error.isEmpty()) {
        x.readNext();
        if (!x.isStartElement())
            continue;
        if (x.name() == u"col") {
            const auto a = x.attributes();
            const int first = a.value(QLatin1StringView("min")).toInt();
            const int last = a.value(QLatin1StringView("max")).toInt();
            for (int c = first; c <= last; ++c)
                sheet.widths.insert(c, a.value(QLatin1StringView("width")).toDouble());
        } else if (x.name() == u"c") {
            const auto a = x.attributes();
            const QString ref = a.value(QLatin1StringView("r")).toString();
            XlsxCell cell;
            cell.type = a.hasAttribute(QLatin1StringView("t"))
                            ? a.value(QLatin1StringView("t")).toString()
                            : QStringLiteral("n");
            cell.style = a.value(QLatin1StringView("s")).toInt();
            while (x.readNextStartElement()) {
                if (x.name() == u"v")
                    cell.value = x.readElementText();
                else if (x.name() == u"is") {
                    while (x.readNextStartElement()) {
                        if (x.name() == u"t")
                            cell.value += x.readElementText();
                        else
                            x.skipCurrentElement();
                    }
                } else
                    x.skipCurrentElement();
            }
            if (cell.type == u"s") {
                const int index = cell.value.toInt();
                if (index < 0 || index >= strings.size()) {
                    sheet.error = QStringLiteral("shared string out of range in ") + ref;
                    break;
                }
                cell.value = strings[index];
            }
            sheet.lastRow = std::max(sheet.lastRow, rowOf(ref));
            sheet.cells.insert(ref, cell);
        }
    }
    if (x.hasError())
        sheet.error = x.errorString();
    return sheet;
}

std::optional<XlsxFont> xlsxCellFont(const QByteArray& stylesXml, int style) {
    std::vector<XlsxFont> fonts;
    std::vector<int> xfFonts;
    QXmlStreamReader x(stylesXml);
    QString section;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isEndElement() && (x.name() == u"fonts" || x.name() == u"cellXfs"))
            section.clear();
        if (!x.isStartElement())
            continue;
        if (x.name() == u"fonts" || x.name() == u"cellXfs" || x.name() == u"cellStyleXfs" ||
            x.name() == u"dxfs")
            section = x.name().toString();
        else if (section == u"fonts" && x.name() == u"font")
            fonts.emplace_back();
        else if (section == u"fonts" && x.name() == u"name" && !fonts.empty())
            fonts.back().name = x.attributes().value(QLatin1StringView("val")).toString();
        else if (section == u"fonts" && x.name() == u"sz" && !fonts.empty())
            fonts.back().size = x.attributes().value(QLatin1StringView("val")).toDouble();
        else if (section == u"cellXfs" && x.name() == u"xf")
            xfFonts.push_back(x.attributes().value(QLatin1StringView("fontId")).toInt());
    }
    if (x.hasError() || style < 0 || style >= int(xfFonts.size()) ||
        xfFonts[size_t(style)] >= int(fonts.size()))
        return std::nullopt;
    return fonts[size_t(xfFonts[size_t(style)])];
}

} // namespace dm::test
