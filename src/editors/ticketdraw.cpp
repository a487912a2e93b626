#include "editors/ticketdraw.h"

#include "app/errors.h"
#include "app/langtext.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace dm {

TicketTexts TicketTexts::fromLanguage() {
    TicketTexts t;
    t.headers = {
        LangText(u"Graph", u"Header1", u"Header 1"), LangText(u"Graph", u"Header2", u"Header 2"),
        LangText(u"Graph", u"Header3", u"Header 3"), LangText(u"Graph", u"Header4", u"Header 4"),
        LangText(u"Graph", u"Header5", u"Header 5")};
    t.infos = {LangText(u"Graph", u"Info1", u"Information 1"),
               LangText(u"Graph", u"Info2", u"Information 2"),
               LangText(u"Graph", u"Info3", u"Information 3")};
    t.name = LangText(u"Graph", u"Name", u"Items name");
    t.userData = LangText(u"Graph", u"UserData", u"User details");
    t.kg = LangText(u"Graph", u"Kg", u"kg");
    t.pcs = LangText(u"Graph", u"Pcs", u"pcs");
    t.total = LangText(u"Graph", u"Total", u"TOTAL");
    t.qel = LangText(u"Graph", u"QEL", u"QEL# 030708000178");
    t.sample = LangText(u"Ticket", u"Sample", u"Sample");
    t.countWord = LangText(u"Products", u"Count", u"count");
    return t;
}

QString ticketAmountText(double value, const QLocale& locale) {
    QString text = QString::number(value, 'f', 2);
    if (text == QStringLiteral("-0.00"))
        text.remove(0, 1);
    return text.replace(u'.', locale.decimalPoint());
}

QString ticketDateTimeText(const QDateTime& when) {
    const QDate d = when.date();
    const QTime t = when.time();
    return QString::asprintf("%.2d/%.2d/%.2d %.2d:%.2d:%.2d", d.day(), d.month(), d.year() % 100,
                             t.hour(), t.minute(), t.second());
}

double ticketPriceValue(const QString& price, const QLocale& locale) {
    // The stored form is the locale's currency text without a symbol, which may carry
    // group separators and the spacing where the symbol stood.
    const QString text = price.trimmed();
    if (text.isEmpty())
        return 0.0;
    bool ok = false;
    double value = locale.toDouble(text, &ok);
    if (!ok)
        value = QLocale::c().toDouble(text, &ok);
    if (!ok)
        throw DataError(LangText(u"Text", u"IncorrectPrice", u"Incorrect price") +
                        QStringLiteral(": ") + price);
    return value;
}

// --- canvas ---

TicketCanvas::TicketCanvas(TicketFonts& fonts, const ScaleCodePage& codePage, int height)
    : m_fonts(fonts), m_codePage(codePage),
      m_image(kWidth, std::max(height, 1), QImage::Format_RGB32) {
    Clear();
}

void TicketCanvas::Clear() {
    m_image.fill(Qt::white);
}

void TicketCanvas::DrawFontText(int column, int row, int font, int width, const QString& text) {
    drawText(column, row, font, width, text, false);
}

void TicketCanvas::DrawFontTextRight(int column, int row, int font, int width,
                                     const QString& text) {
    drawText(column, row, font, width, text, true);
}

void TicketCanvas::drawText(int column, int row, int font, int width, const QString& text,
                            bool right) {
    const TicketFont& f = m_fonts.font(font);
    const int cw = f.cellWidth;
    const int ch = f.cellHeight;
    const int x0 = 8 * column;
    const int y0 = 8 * row;
    const QRect canvas = m_image.rect();

    // The field is cleared by cell width in both alignments.
    const QRect field = QRect(x0, y0, cw * width, ch) & canvas;
    for (int y = field.top(); y <= field.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(m_image.scanLine(y));
        std::fill(line + field.left(), line + field.left() + field.width(), qRgb(255, 255, 255));
    }

    const QByteArray bytes = m_codePage.toScaleBytes(text.left(kMaxTextLength));
    const int n = static_cast<int>(bytes.size());
    for (int k = 0; k < n; ++k) {
        // The right-aligned variant places the last character first.
        const int i = right ? n - 1 - k : k;
        const int glyph = static_cast<uint8_t>(bytes[i]);
        const int left = right ? x0 + 8 * width - cw * (n - i) : x0 + cw * i;
        const QRect dest = QRect(left, y0, cw, ch) & canvas;
        if (dest.isEmpty())
            continue;
        const int sx = glyph * cw + (dest.left() - left);
        const int sy = dest.top() - y0;
        for (int y = 0; y < dest.height(); ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(f.strip.constScanLine(sy + y)) + sx;
            auto* dst = reinterpret_cast<QRgb*>(m_image.scanLine(dest.top() + y)) + dest.left();
            std::memcpy(dst, src, sizeof(QRgb) * static_cast<size_t>(dest.width()));
        }
    }
}

void TicketCanvas::DrawRule(int column1, int row1, int column2, int row2, int penWidth) {
    QPainter p(&m_image);
    p.setPen(QPen(Qt::black, penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(8 * column1, 8 * row1, 8 * column2, 8 * row2);
}

void TicketCanvas::DrawTearOff(int y) {
    QPainter p(&m_image);
    p.setPen(QPen(QColor(192, 192, 192), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (int x = 0; x < kWidth; x += 20) {
        const QPoint tooth[] = {{x, y}, {x + 10, y + 10}, {x + 20, y}};
        p.drawPolyline(tooth, 3);
    }
}

void TicketCanvas::DrawWatermark(const QString& text) {
    QImage mark(500, 90, QImage::Format_RGB32);
    mark.fill(Qt::white);
    {
        QPainter p(&mark);
        QFont font;
        // Arial where it exists; a metric twin or the packaged sans face elsewhere.
        font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                          QStringLiteral("DejaVu Sans")});
        font.setPixelSize(80); // 60 points on a screen of 96 dots per inch
        font.setBold(true);
        p.setFont(font);
        p.setPen(QColor(224, 224, 224));
        p.drawText(mark.rect(), Qt::AlignLeft | Qt::AlignTop, text);
    }
    QPainter p(&m_image);
    p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    for (int y : {50, 150, 250, 350})
        p.drawImage(QPoint(20, y), mark);
}

// --- the two layouts ---

QImage DrawSampleTicketCanvas(const TicketEnvironment& env) {
    const TicketTexts& t = env.texts;
    const double price = 220.0;
    const double amount = price * 1.54;

    TicketCanvas c(env.fonts, env.codePage, env.canvasHeight);
    c.Clear();
    c.DrawFontText(2, 0, 9, 32, t.headers[0]);
    c.DrawFontText(2, 6, 6, 32, t.headers[1]);
    c.DrawFontText(2, 10, 5, 32, t.headers[2]);
    c.DrawFontText(2, 13, 5, 32, t.headers[3]);
    c.DrawFontText(2, 16, 5, 32, t.headers[4]);
    c.DrawFontText(2, 21, 5, 32, QStringLiteral("A# 123"));
    c.DrawFontText(26, 21, 5, 18, ticketDateTimeText(env.now));
    c.DrawRule(2, 26, 52, 26, 3);
    c.DrawFontText(2, 27, 5, 32, t.name);
    c.DrawFontTextRight(7, 31, 5, 13, ticketAmountText(price, env.locale));
    c.DrawFontTextRight(22, 31, 5, 12, QStringLiteral("1.540"));
    c.DrawFontText(34, 31, 5, 3, t.kg);
    c.DrawFontText(22, 31, 5, 2, QStringLiteral("x"));
    c.DrawFontTextRight(38, 31, 5, 13, u'=' + ticketAmountText(amount, env.locale));
    c.DrawRule(2, 35, 52, 35, 3);
    c.DrawFontText(2, 36, 10, 3, t.total);
    c.DrawFontTextRight(25, 36, 10, 27, ticketAmountText(amount, env.locale));
    c.DrawFontText(2, 43, 5, 32, t.qel);
    c.DrawFontText(2, 47, 5, 32, t.userData);
    c.DrawFontText(2, 51, 5, 32, t.infos[0]);
    c.DrawFontText(2, 54, 5, 32, t.infos[1]);
    c.DrawFontText(2, 57, 5, 32, t.infos[2]);
    c.DrawTearOff(488);
    c.DrawWatermark(t.sample);
    return c.takeImage();
}

QImage DrawTicketCanvas(const TicketData& data, const TicketEnvironment& env) {
    const TicketTexts& t = env.texts;
    TicketCanvas c(env.fonts, env.codePage, env.canvasHeight);
    c.Clear();

    // Headers: each present line takes its rows; an absent one takes none.
    int r = 0;
    struct Header {
        int font, width, rows;
    };
    static constexpr Header headers[5] = {
        {9, 16, 6}, {6, 25, 4}, {5, 32, 3}, {5, 32, 3}, {5, 32, 3}};
    for (int i = 0; i < 5; ++i) {
        const QString& line = data.lines[static_cast<size_t>(i)];
        if (line.isEmpty())
            continue;
        c.DrawFontText(2, r, headers[i].font, headers[i].width, line);
        r += headers[i].rows;
    }

    // Operator number: every operator carrying the shown name writes its number over the
    // same field, so the last one stays.
    if (data.operatorName.isEmpty()) {
        c.DrawFontText(2, r + 1, 5, 32, QStringLiteral("A# 123"));
    } else {
        for (int k = 1; k <= 8; ++k)
            if (data.operatorNames[static_cast<size_t>(k - 1)] == data.operatorName)
                c.DrawFontText(2, r + 1, 5, 32, QString::number(k) + QStringLiteral("# 123"));
    }
    c.DrawFontText(26, r + 1, 5, 18, ticketDateTimeText(env.now));
    c.DrawRule(2, r + 5, 52, r + 5, 3);

    const TicketGoods* goods = data.goods ? &*data.goods : nullptr;
    const double price = goods ? ticketPriceValue(goods->price, env.locale) : 0.0;
    c.DrawFontText(2, r + 6, 5, 36, goods ? goods->name : QString());
    c.DrawFontTextRight(7, r + 10, 5, 13, ticketAmountText(price, env.locale));

    double amount = price;
    if (goods && goods->type == t.countWord) {
        c.DrawFontTextRight(22, r + 10, 5, 12, QStringLiteral("5"));
        c.DrawFontText(34, r + 10, 5, 3, t.pcs);
        amount = price * 5;
    } else {
        c.DrawFontTextRight(22, r + 10, 5, 12, QStringLiteral("1.540"));
        c.DrawFontText(34, r + 10, 5, 3, t.kg);
        if (goods)
            amount = price * 1.54;
    }
    c.DrawFontText(22, r + 10, 5, 2, QStringLiteral("x"));
    c.DrawFontTextRight(38, r + 10, 5, 13, u'=' + ticketAmountText(amount, env.locale));
    c.DrawRule(2, r + 14, 52, r + 14, 3);
    c.DrawFontText(2, r + 15, 10, 3, t.total);
    c.DrawFontTextRight(26, r + 15, 10, 25, ticketAmountText(amount, env.locale));
    c.DrawFontText(2, r + 22, 5, 36, t.qel);

    if (!data.operatorName.isEmpty()) {
        c.DrawFontText(2, r + 26, 5, 32, data.operatorName);
        r += 4;
    }
    for (int i = 5; i < 8; ++i) {
        const QString& line = data.lines[static_cast<size_t>(i)];
        if (line.isEmpty())
            continue;
        c.DrawFontText(2, r + 26, 5, 32, line);
        r += 3;
    }
    c.DrawTearOff(8 * (r + 27));
    return c.takeImage();
}

} // namespace dm
