#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace dm {

// The scales' 8-bit code page: one byte per UTF-16 code unit in both directions.
// ASCII maps to itself; the upper half follows the language identifier.
class ScaleCodePage {
public:
    ScaleCodePage(); // all zero: nothing maps until select() is called

    void select(int languageId);
    int languageId() const { return m_languageId; }
    bool isSelected() const { return m_selected; }

    uint8_t toByte(char16_t c) const { return m_forward[c]; }
    char16_t toChar(uint8_t b) const { return m_reverse[b]; }

    // One byte per code unit; unmapped characters become 0x00.
    QByteArray toScaleBytes(const QString& text) const;
    // Exactly one character per byte; bytes without a character become U+0000.
    QString fromScaleBytes(const char* bytes, qsizetype count) const;
    QString fromScaleBytes(const QByteArray& bytes) const {
        return fromScaleBytes(bytes.constData(), bytes.size());
    }

private:
    std::array<uint8_t, 65536> m_forward{};
    std::array<char16_t, 256> m_reverse{};
    int m_languageId = 0;
    bool m_selected = false;
};

// The process-wide code page that the language loader selects (user-interface thread only).
ScaleCodePage& activeScaleCodePage();
void SelectScaleCodePage(int languageId);
QByteArray ToScaleBytes(const QString& text);
QString FromScaleBytes(const QByteArray& bytes);

} // namespace dm
