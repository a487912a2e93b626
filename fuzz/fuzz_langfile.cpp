// Language files and terminal.ini come from outside the program: any bytes must parse,
// and whatever parsed must write back and parse to the same sections and keys.
#include "app/inifile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    dm::IniFile ini;
    ini.parse(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const QStringList sections = ini.sections();
    for (const QString& s : sections)
        for (const QString& k : ini.keys(s))
            (void)ini.value(s, k);
    (void)ini.intValue(QStringLiteral("Global"), QStringLiteral("LanguageID"), 1049);
    ini.setValue(QStringLiteral("Global"), QStringLiteral("Language"), QStringLiteral("ENG"));
    dm::IniFile again;
    again.parse(ini.serialize());
    if (again.value(QStringLiteral("Global"), QStringLiteral("Language")) != QStringLiteral("ENG"))
        std::abort();
    return 0;
}
