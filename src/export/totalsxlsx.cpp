#include "export/totalsxlsx.h"

#include "app/errors.h"
#include "app/langtext.h"
#include "export/localedatetime.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <cmath>

namespace dm {

namespace {

[[noreturn]] void failed(const QString& path, lxw_error error) {
    throw FileError(LangText(u"Text", u"CannotWriteFile", u"Cannot write the file") +
                    QStringLiteral(": ") + QDir::toNativeSeparators(path) + QStringLiteral(" (") +
                    QString::fromUtf8(lxw_strerror(error)) + u')');
}

// Owns the workbook until it is closed, so that an error on the way frees it.
class Workbook {
public:
    Workbook(const QString& path, const QByteArray& tmpdir) : m_path(path), m_tmpdir(tmpdir) {
        lxw_workbook_options options{};
        options.tmpdir = m_tmpdir.data();
        m_book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
        if (!m_book)
            failed(path, LXW_ERROR_MEMORY_MALLOC_FAILED);
    }
    ~Workbook() {
        if (m_book)
            lxw_workbook_free(m_book); // given up: nothing is written
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    lxw_workbook* get() const { return m_book; }
    void check(lxw_error error) const {
        if (error != LXW_NO_ERROR)
            failed(m_path, error);
    }
    void close() {
        lxw_workbook* book = m_book;
        m_book = nullptr;
        check(workbook_close(book));
    }

private:
    QString m_path;
    QByteArray m_tmpdir;
    lxw_workbook* m_book = nullptr;
};

class SheetWriter {
public:
    SheetWriter(const Workbook& book, lxw_worksheet* sheet) : m_book(book), m_sheet(sheet) {}

    void text(lxw_row_t row, lxw_col_t col, const QString& value, lxw_format* format = nullptr) {
        if (value.isEmpty() && !format)
            return;
        m_utf8 = value.toUtf8();
        m_book.check(worksheet_write_string(m_sheet, row, col, m_utf8.constData(), format));
    }
    void number(lxw_row_t row, lxw_col_t col, std::optional<double> value) {
        // A value that is not a finite number has no spelling in the sheet.
        if (!value || !std::isfinite(*value))
            return;
        m_book.check(worksheet_write_number(m_sheet, row, col, *value, nullptr));
    }

private:
    const Workbook& m_book;
    lxw_worksheet* m_sheet;
    QByteArray m_utf8;
};

std::optional<double> asNumber(std::optional<qint64> v) {
    return v ? std::optional<double>(double(*v)) : std::nullopt;
}

void writeWorkbook(const TotalsExportTable& table, const QString& path, const QString& tmpdir) {
    Workbook book(path, QFile::encodeName(tmpdir));
    lxw_worksheet* sheet = workbook_add_worksheet(book.get(), nullptr);
    if (!sheet)
        failed(path, LXW_ERROR_MEMORY_MALLOC_FAILED);

    for (lxw_col_t c = 0; c < kTotalsColumnWidths.size(); ++c)
        book.check(worksheet_set_column(sheet, c, c, kTotalsColumnWidths[c], nullptr));

    lxw_format* titleFont = workbook_add_format(book.get());
    format_set_font_name(titleFont, kTotalsTitleFontName);
    format_set_font_size(titleFont, kTotalsTitleFontSize);

    SheetWriter w(book, sheet);
    for (lxw_col_t c = 0; c < kTotalsColumnWidths.size(); ++c)
        w.text(0, c, table.titles.value(c), c == 0 ? titleFont : nullptr);

    const QLocale locale;
    lxw_row_t r = 1;
    for (const TotalsExportRow& row : table.rows) {
        w.text(r, 0, row.scales);
        w.text(r, 1, row.plu ? QString::number(*row.plu) : QString());
        w.text(r, 2, row.name);
        w.text(r, 3, row.type);
        w.number(r, 4, row.dayWeight);
        w.number(r, 5, asNumber(row.dayNum));
        w.number(r, 6, row.monthWeight);
        w.number(r, 7, asNumber(row.monthNum));
        w.text(r, 8, dayMonthYearTimeText(row.last, locale));
        w.text(r, 9, dayMonthYearTimeText(row.read, locale));
        ++r;
    }
    book.close();
}

} // namespace

QByteArray buildTotalsXlsx(const TotalsExportTable& table) {
    // Cutting the export short would hand the user a sheet that silently lacks rows.
    if (qsizetype(table.rows.size()) > kTotalsMaxRows)
        throw FileError(LangText(u"Text", u"TooManyRows", u"Too many rows for one sheet") +
                        QStringLiteral(": ") + QString::number(table.rows.size()));

    // libxlsxwriter writes to a file only; it and its scratch files live in a private folder.
    QTemporaryDir dir;
    if (!dir.isValid())
        throw FileError(LangText(u"Text", u"CannotCreateFolder", u"Cannot create the folder") +
                        QStringLiteral(": ") + QDir::toNativeSeparators(QDir::tempPath()));
    const QString path = dir.filePath(QStringLiteral("totals.xlsx"));
    writeWorkbook(table, path, dir.path());

    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw FileError(LangText(u"Text", u"CannotReadFile", u"Cannot read the file") +
                        QStringLiteral(": ") + QDir::toNativeSeparators(path));
    return f.readAll();
}

} // namespace dm
