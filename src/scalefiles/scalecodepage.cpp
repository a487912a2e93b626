#include "scalefiles/scalecodepage.h"

#include "scalefiles/codepagetables.h"

namespace dm {

ScaleCodePage::ScaleCodePage() = default;

void ScaleCodePage::select(int languageId) {
    m_forward.fill(0);
    m_reverse.fill(0);
    for (int b = 0; b < 0x80; ++b) {
        m_forward[b] = static_cast<uint8_t>(b);
        m_reverse[b] = static_cast<char16_t>(b);
    }
    const char16_t* upper = codepage_tables::kWin1251;
    switch (languageId) {
    case 1036:
        upper = codepage_tables::kWin1252;
        break;
    case 1062:
        upper = codepage_tables::kWin1257;
        break;
    case 1068:
        upper = codepage_tables::kWin1254Variant;
        break;
    default:
        break;
    }
    for (int b = 0x80; b < 0x100; ++b) {
        const char16_t u = upper[b - 0x80];
        if (u != 0)
            m_forward[u] = static_cast<uint8_t>(b);
        m_reverse[b] = u;
    }
    m_languageId = languageId;
    m_selected = true;
}

QByteArray ScaleCodePage::toScaleBytes(const QString& text) const {
    QByteArray out(text.size(), '\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = static_cast<char>(m_forward[text.at(i).unicode()]);
    return out;
}

QString ScaleCodePage::fromScaleBytes(const char* bytes, qsizetype count) const {
    QString out(count, QChar(0));
    for (qsizetype i = 0; i < count; ++i)
        out[i] = QChar(m_reverse[static_cast<uint8_t>(bytes[i])]);
    return out;
}

ScaleCodePage& activeScaleCodePage() {
    static ScaleCodePage page;
    return page;
}

void SelectScaleCodePage(int languageId) {
    activeScaleCodePage().select(languageId);
}
QByteArray ToScaleBytes(const QString& text) {
    return activeScaleCodePage().toScaleBytes(text);
}
QString FromScaleBytes(const QByteArray& bytes) {
    return activeScaleCodePage().fromScaleBytes(bytes);
}

} // namespace dm
