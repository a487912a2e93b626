#include "app/langtext.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dm;
using dm::test::readFile;
using dm::test::writeFile;

namespace {
QByteArray utf16le(const QString& s) {
    QByteArray out("\xFF\xFE", 2);
    for (QChar c : s) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}
} // namespace

TEST(LangText, OnlyOneKeyGivesDefaultsElsewhere) {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("Lang.dat")), "[Main]\r\nProducts=Goods\r\n");
    LanguageFile& lang = currentLanguageFile();
    lang.open(dir.path());
    EXPECT_EQ(LangText(u"Main", u"Products", u"Products"), QStringLiteral("Goods"));
    EXPECT_EQ(LangText(u"Main", u"Ticket", u"Ticket"), QStringLiteral("Ticket"));
    EXPECT_EQ(LangText(u"Products", u"New", u"New"), QStringLiteral("New"));
    EXPECT_EQ(lang.languageId(), 1049); // missing LanguageID
    lang.clear();
}

TEST(LangText, Utf16CyrillicMixedCaseAndPlainValues) {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("Lang.dat")),
              utf16le(QStringLiteral("[GLOBAL]\r\nlanguageid=1049\r\n[main]\r\nPRODUCTS=Товары\r\n"
                                     "[Help]\r\nGoods=Описание\\Товары, цены\r\n")));
    LanguageFile& lang = currentLanguageFile();
    lang.open(dir.path());
    EXPECT_EQ(lang.languageId(), 1049);
    EXPECT_EQ(LangText(u"Main", u"Products", u"Products"), QStringLiteral("Товары"));
    EXPECT_EQ(LangText(u"Help", u"Goods", u"x"), QStringLiteral("Описание\\Товары, цены"));
    lang.clear();
}

TEST(LangText, LegacyCodePageFileIsDecodedByItsLanguage) {
    QTemporaryDir dir;
    // "Товары" in Windows-1251
    writeFile(dir.filePath(QStringLiteral("Lang.dat")),
              "[Global]\r\nLanguageID=1049\r\n[Main]\r\nProducts=\xD2\xEE\xE2\xE0\xF0\xFB\r\n");
    LanguageFile& lang = currentLanguageFile();
    lang.open(dir.path());
    EXPECT_EQ(LangText(u"Main", u"Products", u"Products"), QStringLiteral("Товары"));
    lang.clear();
}

TEST(LangText, MissingFileGivesDefaults) {
    QTemporaryDir dir;
    LanguageFile& lang = currentLanguageFile();
    lang.open(dir.filePath(QStringLiteral("nothing")));
    EXPECT_EQ(LangText(u"Misc", u"CaptionQEL", u"Data Manager QEL"),
              QStringLiteral("Data Manager QEL"));
    lang.clear();
}
