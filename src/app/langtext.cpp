#include "app/langtext.h"

#include "scalefiles/scalecodepage.h"

namespace dm {

void LanguageFile::open(const QString& languageFolder) {
    // A Lang.dat in a legacy 8-bit code page is decoded with the code page its own
    // LanguageID names; the identifier itself is plain ASCII, so a Latin-1 read finds it.
    const QString path = languageFolder + QStringLiteral("/Lang.dat");
    m_ini.load(path);
    if (m_ini.encoding() == IniFile::Encoding::Legacy) {
        ScaleCodePage page;
        page.select(m_ini.intValue(QStringLiteral("Global"), QStringLiteral("LanguageID"), 1049));
        m_ini.load(path, [&page](const QByteArray& b) { return page.fromScaleBytes(b); });
    }
}

void LanguageFile::clear() {
    m_ini = IniFile();
}

QString LanguageFile::text(const QString& section, const QString& key, const QString& def) const {
    return m_ini.value(section, key, def);
}

int LanguageFile::languageId() const {
    return m_ini.intValue(QStringLiteral("Global"), QStringLiteral("LanguageID"), 1049);
}

LanguageFile& currentLanguageFile() {
    static LanguageFile file;
    return file;
}

QString LangText(const QString& section, const QString& key, const QString& defaultText) {
    return currentLanguageFile().text(section, key, defaultText);
}

} // namespace dm
