#pragma once

#include "app/inifile.h"

#include <QString>

namespace dm {

// The current language file. LangText looks every user-visible text up in it, with
// the built-in English default where the file, section or key is missing.
class LanguageFile {
public:
    // Opens <folder>/Lang.dat; a missing file leaves every lookup on its default.
    void open(const QString& languageFolder);
    void clear();
    QString text(const QString& section, const QString& key, const QString& def) const;
    int languageId() const; // Global/LanguageID, 1049 when missing
    const IniFile& ini() const { return m_ini; }

private:
    IniFile m_ini;
};

// The process-wide current language file (user-interface thread; dmctl sets it once).
LanguageFile& currentLanguageFile();

QString LangText(const QString& section, const QString& key, const QString& defaultText);
// Convenience for the many call sites that spell their three texts as literals.
inline QString LangText(const char16_t* section, const char16_t* key, const char16_t* def) {
    return LangText(QString::fromUtf16(section), QString::fromUtf16(key), QString::fromUtf16(def));
}

} // namespace dm
