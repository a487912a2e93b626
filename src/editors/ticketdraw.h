#pragma once

#include "editors/ticketfonts.h"
#include "scalefiles/scalecodepage.h"

#include <QDateTime>
#include <QImage>
#include <QLocale>
#include <QString>

#include <array>
#include <optional>

namespace dm {

// The language texts the two tickets print (sections Graph, Ticket and Products).
struct TicketTexts {
    std::array<QString, 5> headers; // the sample's "Header 1" .. "Header 5"
    std::array<QString, 3> infos;   // the sample's "Information 1" .. "Information 3"
    QString name;                   // the sample's goods name
    QString userData;               // the sample's operator name line
    QString kg;
    QString pcs;
    QString total;
    QString qel;       // the model line
    QString sample;    // the watermark
    QString countWord; // the goods type word that means "sold by count"

    // The texts of the current language file, with their built-in defaults.
    static TicketTexts fromLanguage();
};

// The goods record a ticket is drawn for. Only name, type and price are printed.
struct TicketGoods {
    int plu = 0;
    QString name;    // RVTName
    QString type;    // Type, the weight or count word
    QString price;   // Price as stored; empty counts as 0
    QString barcode; // Barcode
};

// What the ticket from the database shows. A line or name that is empty counts as absent.
struct TicketData {
    std::array<QString, 8> lines;         // ticket lines 1 to 8: five headers, three infos
    std::array<QString, 8> operatorNames; // operators 1 to 8
    QString operatorName;                 // the operator shown (empty: none chosen)
    std::optional<TicketGoods> goods;     // the current goods record; none: empty goods list
};

// Everything else a drawing depends on; the caller owns the font cache and the clock.
struct TicketEnvironment {
    TicketFonts& fonts;
    const ScaleCodePage& codePage;
    TicketTexts texts;
    QLocale locale;          // decimal separator of the amounts
    QDateTime now;           // the date and time printed
    int canvasHeight = 1200; // the window uses twice the screen height
};

// The printer's canvas: 54 columns of 8 pixels, positions in character cells of 8 x 8.
class TicketCanvas {
public:
    static constexpr int kWidth = 432;
    static constexpr int kMaxTextLength = 256; // longer texts are cut to this

    TicketCanvas(TicketFonts& fonts, const ScaleCodePage& codePage, int height);

    const QImage& image() const { return m_image; }
    QImage takeImage() { return std::move(m_image); }

    void Clear();
    // Clear the field (font cell width x field width, one cell tall), then draw the text
    // from its left edge, or right-aligned to x = 8 * (column + field width). Glyphs
    // beyond the field are drawn too; only the canvas border cuts them.
    void DrawFontText(int column, int row, int font, int width, const QString& text);
    void DrawFontTextRight(int column, int row, int font, int width, const QString& text);
    // A black line between two cell corners.
    void DrawRule(int column1, int row1, int column2, int row2, int penWidth);
    // The silver zigzag where the paper is torn off, at base line y.
    void DrawTearOff(int y);
    // The light text darkened into the canvas four times, down the ticket.
    void DrawWatermark(const QString& text);

private:
    void drawText(int column, int row, int font, int width, const QString& text, bool right);

    TicketFonts& m_fonts;
    const ScaleCodePage& m_codePage;
    QImage m_image;
};

// The sample ticket at full resolution: every line named by its language text.
QImage DrawSampleTicketCanvas(const TicketEnvironment& env);
// The ticket from the database at full resolution; empty lines take no rows.
QImage DrawTicketCanvas(const TicketData& data, const TicketEnvironment& env);

// Helpers the layouts use, exposed for the editors and the tests.
// Fixed point with two decimals and the locale's decimal separator.
QString ticketAmountText(double value, const QLocale& locale);
// dd/mm/yy hh:mm:ss.
QString ticketDateTimeText(const QDateTime& when);
// The stored price as a number: empty is 0; anything unreadable throws DataError.
double ticketPriceValue(const QString& price, const QLocale& locale);

} // namespace dm
