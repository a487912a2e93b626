#include "app/inifile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using dm::IniFile;

TEST(IniFile, NamesMatchWithoutCaseAndValuesStayAsWritten) {
    IniFile ini;
    ini.parse(QByteArrayLiteral(
        "[Global]\r\nbase = C:\\Shop\\a,b.sqlite \r\n[MAIN]\r\nProducts=Goods\r\n"));
    EXPECT_EQ(ini.value(QStringLiteral("GLOBAL"), QStringLiteral("BASE")),
              QStringLiteral("C:\\Shop\\a,b.sqlite"));
    EXPECT_EQ(ini.value(QStringLiteral("main"), QStringLiteral("products")),
              QStringLiteral("Goods"));
    EXPECT_EQ(ini.value(QStringLiteral("Main"), QStringLiteral("Ticket"), QStringLiteral("def")),
              QStringLiteral("def"));
}

TEST(IniFile, Utf16WithCyrillicRoundTripsAndKeepsOtherLines) {
    const QString text =
        QStringLiteral("; comment\r\n[Main]\r\nProducts=Товары\r\n[Other]\r\nA=1\r\n");
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    IniFile ini;
    ini.parse(bytes);
    EXPECT_EQ(ini.encoding(), IniFile::Encoding::Utf16Le);
    EXPECT_EQ(ini.value(QStringLiteral("main"), QStringLiteral("PRODUCTS")),
              QStringLiteral("Товары"));
    ini.setValue(QStringLiteral("main"), QStringLiteral("products"), QStringLiteral("Склад"));
    ini.setValue(QStringLiteral("New"), QStringLiteral("K"), QStringLiteral("v"));
    IniFile again;
    again.parse(ini.serialize());
    EXPECT_EQ(again.encoding(), IniFile::Encoding::Utf16Le);
    EXPECT_EQ(again.value(QStringLiteral("Main"), QStringLiteral("Products")),
              QStringLiteral("Склад"));
    EXPECT_EQ(again.value(QStringLiteral("Other"), QStringLiteral("A")), QStringLiteral("1"));
    EXPECT_EQ(again.value(QStringLiteral("new"), QStringLiteral("k")), QStringLiteral("v"));
    EXPECT_TRUE(
        QString::fromUtf16(reinterpret_cast<const char16_t*>(again.serialize().constData() + 2))
            .startsWith(QStringLiteral("; comment")));
}

TEST(IniFile, WriteValueCreatesFileAndKeepsOtherKeys) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("terminal.ini"));
    ASSERT_TRUE(dm::writeIniValue(path, QStringLiteral("Global"), QStringLiteral("Base"),
                                  QStringLiteral("/x/y")));
    ASSERT_TRUE(dm::writeIniValue(path, QStringLiteral("Global"), QStringLiteral("Language"),
                                  QStringLiteral("ENG")));
    ASSERT_TRUE(dm::writeIniValue(path, QStringLiteral("global"), QStringLiteral("BASE"),
                                  QStringLiteral("/z")));
    IniFile ini(path);
    EXPECT_EQ(ini.value(QStringLiteral("Global"), QStringLiteral("Base")), QStringLiteral("/z"));
    EXPECT_EQ(ini.value(QStringLiteral("Global"), QStringLiteral("Language")),
              QStringLiteral("ENG"));
    EXPECT_EQ(ini.keys(QStringLiteral("Global")).size(), 2);
}

TEST(IniFile, IntValueReadsLeadingDigits) {
    IniFile ini;
    ini.parse(QByteArrayLiteral("[Global]\nLanguageID=1033 ; english\nBad=x\n"));
    EXPECT_EQ(ini.intValue(QStringLiteral("Global"), QStringLiteral("LanguageID"), 1049), 1033);
    EXPECT_EQ(ini.intValue(QStringLiteral("Global"), QStringLiteral("Missing"), 1049), 1049);
    EXPECT_EQ(ini.intValue(QStringLiteral("Global"), QStringLiteral("Bad"), 1049), 0);
}
