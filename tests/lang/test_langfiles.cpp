// The shipped language folders: every text the program looks up is in both files, the
// English file holds the built-in texts exactly, and the Russian one translates them.
#include "app/inifile.h"
#include "app/langtext.h"
#include "platform/help.h"
#include "qstringprint.h"
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

struct Entry {
    const char16_t* section;
    const char16_t* key;
    const char16_t* english;
};

// Every text the program looks up, with its built-in English text.
const Entry kEntries[] = {
    {u"Main", u"Products", u"Products"},
    {u"Main", u"Ticket", u"Ticket"},
    {u"Main", u"Keys", u"Keys"},
    {u"Main", u"Totals", u"Totals"},
    {u"Main", u"Settings", u"Settings"},
    {u"Products", u"New", u"New"},
    {u"Products", u"Delete", u"Delete"},
    {u"Products", u"Copy", u"Copy"},
    {u"Products", u"Export", u"Export"},
    {u"Products", u"Upload", u"Upload"},
    {u"Products", u"Download", u"Download"},
    {u"Products", u"Save", u"Save"},
    {u"Products", u"Load", u"Load"},
    {u"Products", u"PLU", u"PLU"},
    {u"Products", u"Name", u"Name"},
    {u"Products", u"Type", u"Type"},
    {u"Products", u"Price", u"Price"},
    {u"Products", u"Barcode", u"Barcode"},
    {u"Products", u"Weight", u"weight"},
    {u"Products", u"Count", u"count"},
    {u"Products", u"Find", u"Find"},
    {u"Products", u"In", u"in"},
    {u"Ticket", u"Clear", u"Clear"},
    {u"Ticket", u"Upload", u"Upload"},
    {u"Ticket", u"Download", u"Download"},
    {u"Ticket", u"Save", u"Save"},
    {u"Ticket", u"Load", u"Load"},
    {u"Ticket", u"Header", u"Header"},
    {u"Ticket", u"User", u"Operator"},
    {u"Ticket", u"Password", u"Password"},
    {u"Ticket", u"Info", u"Information"},
    {u"Ticket", u"Sample", u"Sample"},
    {u"Keys", u"Auto", u"Autofill"},
    {u"Keys", u"Clear", u"Clear"},
    {u"Keys", u"Upload", u"Upload"},
    {u"Keys", u"Download", u"Download"},
    {u"Keys", u"Save", u"Save"},
    {u"Keys", u"Load", u"Load"},
    {u"Keys", u"PLU", u"PLU"},
    {u"Keys", u"Name", u"Name"},
    {u"Keys", u"Type", u"Type"},
    {u"Keys", u"Price", u"Price"},
    {u"Keys", u"Barcode", u"Barcode"},
    {u"Keys", u"Weight", u"weight"},
    {u"Keys", u"Count", u"count"},
    {u"Keys", u"NotSet", u"Item not set"},
    {u"Keys", u"NotFOund", u"Item not found"},
    {u"Totals", u"Download", u"Download"},
    {u"Totals", u"Load", u"Read"},
    {u"Totals", u"Export", u"Export"},
    {u"Totals", u"Delete", u"Delete"},
    {u"Totals", u"Scales", u"Scales"},
    {u"Totals", u"PLU", u"PLU"},
    {u"Totals", u"Name", u"Name"},
    {u"Totals", u"Type", u"Type"},
    {u"Totals", u"DayWeight", u"Day qty."},
    {u"Totals", u"DayNum", u"Day transactions"},
    {u"Totals", u"MonthWeight", u"Month qty."},
    {u"Totals", u"MonthNum", u"Month transactions"},
    {u"Totals", u"Last", u"Last transaction"},
    {u"Totals", u"Read", u"Read at"},
    {u"Totals", u"Range", u"Period"},
    {u"Totals", u"Find", u"Find"},
    {u"Totals", u"In", u"in"},
    {u"Settings", u"Scales", u"Scales settings"},
    {u"Settings", u"Refresh", u"Refresh"},
    {u"Settings", u"Delete", u"Delete"},
    {u"Settings", u"Num", u"#"},
    {u"Settings", u"Name", u"Name"},
    {u"Settings", u"Connection", u"Connection"},
    {u"Settings", u"State", u"State"},
    {u"Settings", u"Keypad", u"Keypad"},
    {u"Settings", u"Manager", u"Bases manager"},
    {u"Settings", u"Open", u"Open"},
    {u"Settings", u"Create", u"Create"},
    {u"Settings", u"Copy", u"Copy"},
    {u"Settings", u"ConnectedBase", u"Current database"},
    {u"Settings", u"List", u"Previously used database"},
    {u"Settings", u"Misc", u"Miscellaneous settings"},
    {u"Settings", u"Language", u"Language"},
    {u"Settings", u"Admin", u"Administrative password"},
    {u"Misc", u"CaptionQEL", u"Data Manager QEL"},
    {u"Misc", u"OpenDialog", u"Open database"},
    {u"Misc", u"SaveDialog", u"Create new database"},
    {u"Misc", u"CopyDialog", u"Copy database to..."},
    {u"Misc", u"DatabaseFilter", u"Database files"},
    {u"Misc", u"New", u"New"},
    {u"Misc", u"Online", u"Online"},
    {u"Misc", u"Offline", u"Offline"},
    {u"Misc", u"ScalesNotFound", u"Scales not found..."},
    {u"Misc", u"ModeVola", u"VOLA"},
    {u"Misc", u"ModeZun", u"ZUN"},
    {u"Misc", u"ModeQEL", u"QEL"},
    {u"Misc", u"Keypad", u"Keypad"},
    {u"Text", u"PasswordsMatchError", u"Error: passwords match"},
    {u"Text", u"PasswordsEmptyError", u"Error: empty password"},
    {u"Text", u"Closing", u"Saving database..."},
    {u"Text", u"BaseNotFound1", u"Base"},
    {u"Text", u"BaseNotFound2", u"not found"},
    {u"Text", u"BaseNotSelected", u"Base is not selected"},
    {u"Text", u"DeleteBase1", u"Delete selected base"},
    {u"Text", u"DeleteBase2", u"from the list?"},
    {u"Text", u"ReplaceBase", u"This database already exists. Replace it?"},
    {u"Text", u"DeleteTotal", u"Delete item?"},
    {u"Text", u"DeleteTotals", u"Delete items?"},
    {u"Text", u"TotalDeleting", u"Delete item"},
    {u"Text", u"PLU", u"PLU"},
    {u"Text", u"Name", u"Name"},
    {u"Text", u"DeleteItem", u"Delete item?"},
    {u"Text", u"DeleteItems", u"Delete selected items?"},
    {u"Text", u"ItemDeleting", u"Delete item"},
    {u"Text", u"ErrorData", u"Error"},
    {u"Text", u"IncorrectPrice", u"Incorrect price"},
    {u"Text", u"IncorrectPLU", u"Incorrect PLU"},
    {u"Text", u"IncorrectBarcode", u"Incorrect barcode"},
    {u"Text", u"PLUExists", u"PLU exists"},
    {u"Text", u"BarcodeExists", u"Barcode exists"},
    {u"Text", u"DeleteScales", u"Delete scales"},
    {u"Text", u"DeleteScalesConfirmation", u"Delete Scales"},
    {u"Text", u"FromList", u"from list?"},
    {u"Text", u"Connecting", u"Connecting..."},
    {u"Text", u"ConnectionFailed", u"Connection failed to scales"},
    {u"Text", u"TransmitData", u"Uploading data"},
    {u"Text", u"TransmitCompleted", u"Uploading completed"},
    {u"Text", u"TransmitError", u"Uploading error"},
    {u"Text", u"MakingFile1", u"Goods file making..."},
    {u"Text", u"MakingFile2", u"Ticket file making..."},
    {u"Text", u"MakingFile3", u"Keypad file making..."},
    {u"Text", u"MakingFile4", u"Salesmen file making..."},
    {u"Text", u"TroubleShooting1", u"Possible reasons:"},
    {u"Text", u"TroubleShooting2", u"1. The scales is switched off"},
    {u"Text", u"TroubleShooting3", u"2. Bad connection cable"},
    {u"Text", u"TroubleShooting4", u"3. For connection via COM-port:"},
    {u"Text", u"TroubleShooting5",
     u"- COM-port mode is not in \"Computer\" in the scales settings"},
    {u"Text", u"TroubleShooting6", u"- COM-port is switched off"},
    {u"Text", u"TroubleShooting7", u"4. For connection via Ethernet:"},
    {u"Text", u"TroubleShooting8",
     u"- scales ethernet settings is not compatible with PC network settings"},
    {u"Text", u"TroubleShooting9", u"- data exchange is blocked by the firewall"},
    {u"Text", u"ReceiveData", u"Downloading data"},
    {u"Text", u"ReceiveCompleted", u"Downloading completed"},
    {u"Text", u"ReceiveError", u"Downloading error"},
    {u"Text", u"ConnectionLost", u"The connection to the scales was lost"},
    {u"Text", u"FileIncomplete", u"The scales sent only part of the file"},
    {u"Text", u"NoBase", u"Base file is absent"},
    {u"Text", u"NoTotals", u"Totals is absent"},
    {u"Text", u"Saving", u"Saving in progress..."},
    {u"Text", u"SaveCompleted", u"Saving completed successfully"},
    {u"Text", u"SaveFail", u"Saving failed"},
    {u"Text", u"LoadingProducts", u"Reading in progress..."},
    {u"Text", u"LoadingTotals", u"Reading in progress..."},
    {u"Text", u"LoadCompleted", u"Reading completed successfully"},
    {u"Text", u"LoadFail", u"Reading failed"},
    // The program's own messages for failed file and data operations.
    {u"Text", u"BadTotalsDate", u"invalid date of the last sale"},
    {u"Text", u"CannotCreateFolder", u"Cannot create the folder"},
    {u"Text", u"CannotOpenFile", u"Cannot open the file"},
    {u"Text", u"CannotReadFile", u"Cannot read the file"},
    {u"Text", u"CannotWriteFile", u"Cannot write the file"},
    {u"Text", u"FileEndsInRecord", u"the file ends inside a record"},
    {u"Text", u"FileNotFound", u"File not found"},
    {u"Text", u"KeypadNotFound", u"Keypad not found"},
    {u"Text", u"NoKeypads", u"There is no keypad in the database"},
    {u"Text", u"RecordAtByte", u"record at byte"},
    {u"Text", u"TextTooLong", u"text longer than 255 bytes"},
    {u"Text", u"TooManyRows", u"Too many rows for one sheet"},
    // The command-line tool's reports.
    {u"Text", u"FileAbsent", u"absent"},
    {u"Text", u"FileRead", u"read"},
    {u"Text", u"RowsAdded", u"rows added"},
    {u"Text", u"RowsRefused", u"refused"},
    {u"Text", u"RowsStored", u"stored"},
    {u"Message", u"HelpButton", u"Help"},
    {u"Message", u"CloseButton", u"Close"},
    {u"Help", u"Goods", u"Description\\Goods"},
    {u"Help", u"Ticket", u"Description\\Ticket"},
    {u"Help", u"Keys", u"Description\\Keys"},
    {u"Help", u"Totals", u"Description\\Totals"},
    {u"Help", u"Settings", u"Description\\Settings"},
    {u"Help", u"TipsConnection", u"Tips\\Connection"},
    {u"Graph", u"Header1", u"Header 1"},
    {u"Graph", u"Header2", u"Header 2"},
    {u"Graph", u"Header3", u"Header 3"},
    {u"Graph", u"Header4", u"Header 4"},
    {u"Graph", u"Header5", u"Header 5"},
    {u"Graph", u"Name", u"Items name"},
    {u"Graph", u"UserData", u"User details"},
    {u"Graph", u"Kg", u"kg"},
    {u"Graph", u"Pcs", u"pcs"},
    {u"Graph", u"Total", u"TOTAL"},
    {u"Graph", u"QEL", u"QEL# 030708000178"},
    {u"Graph", u"Info1", u"Information 1"},
    {u"Graph", u"Info2", u"Information 2"},
    {u"Graph", u"Info3", u"Information 3"},
    {u"SaveToScales", u"SelectScales", u"SelectScales"},
    {u"SaveToScales", u"SelectAll", u"Select all"},
    {u"SaveToScales", u"SelectNone", u"Unselect all"},
    {u"SaveToScales", u"Cancel", u"Cancel"},
    {u"SaveToScales", u"Upload", u"Upload"},
    {u"SaveToCard", u"SaveData", u"Save database to memory card"},
    {u"SaveToCard", u"SelectCard", u"Select memory card"},
    {u"SaveToCard", u"SelectKeypad", u"Select keypad"},
    {u"SaveToCard", u"Save", u"Save"},
    {u"SaveToCard", u"Cancel", u"Cancel"},
    {u"Database", u"ColumnMissing",
     u"The file %1 is not a database of this program: column %2 of table %3 is missing."},
    {u"Database", u"CompactFailed", u"The database %1 cannot be compacted: %2"},
    {u"Database", u"CreateFailed", u"The database %1 cannot be created: %2"},
    {u"Database", u"FieldNotDate", u"'%1' is not a valid date and time for field '%2'."},
    {u"Database", u"FieldNotNumber", u"'%1' is not a valid number for field '%2'."},
    {u"Database", u"FieldRange", u"The value %1 is out of range for field '%2' (%3 to %4)."},
    {u"Database", u"FieldReadOnly", u"Field '%1' cannot be modified."},
    {u"Database", u"FieldRequired", u"Field '%1' must have a value."},
    {u"Database", u"FieldTooLong",
     u"The text for field '%1' is too long: at most %2 characters are allowed."},
    {u"Database", u"FileNotFound", u"The database file %1 does not exist."},
    {u"Database", u"NoRecord", u"There is no record %1 in table %2."},
    {u"Database", u"NotDatabase", u"The file %1 is not a database: %2"},
    {u"Database", u"NotOpen", u"The table %1 is not open."},
    {u"Database", u"OpenFailed", u"The database %1 cannot be opened: %2"},
    {u"Database", u"ReadFailed", u"The table %1 cannot be read: %2"},
    {u"Database", u"RecordGone", u"The record no longer exists in table %1."},
    {u"Database", u"TableMissing",
     u"The file %1 is not a database of this program: table %2 is missing."},
    {u"Database", u"TransactionFailed", u"The database transaction failed: %1"},
    {u"Database", u"UnknownField", u"Table %1 has no field '%2'."},
    {u"Database", u"WriteFailed", u"The change to table %1 cannot be saved: %2"},
    {u"Keys", u"NewKeypad", u"New keypad"},
    {u"Keys", u"NoMoreKeypads", u"No more keypads can be added: the last number is 255"},
    {u"Text", u"FontNotFound", u"Ticket font file not found"},
    {u"Text", u"FontUnreadable", u"Cannot read the ticket font file"},
    {u"Text", u"ReplyTooShort", u"The reply is shorter than its data"},
    {u"Text", u"TooManyBlocks", u"More than 65535 blocks"},
};

// Values that stay as they are in every language: product and mode names, the number
// printed on the sample ticket, the goods number.
const QSet<QString> kSameInEveryLanguage = {QStringLiteral("PLU"), QStringLiteral("VOLA"),
                                            QStringLiteral("ZUN"), QStringLiteral("QEL"),
                                            QStringLiteral("QEL# 030708000178")};

QString languageFolder(const QString& name) {
    return dm::test::sourceDir() + QStringLiteral("/data/Languages/") + name;
}

QByteArray rawLangFile(const QString& name) {
    QFile f(languageFolder(name) + QStringLiteral("/Lang.dat"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

dm::IniFile langFile(const QString& name) {
    dm::IniFile ini;
    EXPECT_TRUE(ini.load(languageFolder(name) + QStringLiteral("/Lang.dat"))) << name.toStdString();
    return ini;
}

QString lowerKey(const QString& section, const QString& key) {
    return section.toLower() + u'/' + key.toLower();
}

QSet<QString> allKeys(const dm::IniFile& ini, QStringList* duplicates) {
    QSet<QString> out;
    for (const QString& s : ini.sections()) {
        for (const QString& k : ini.keys(s)) {
            const QString id = lowerKey(s, k);
            if (out.contains(id))
                duplicates->append(id); // the first would hide the second
            out.insert(id);
        }
    }
    return out;
}

bool hasLetters(const QString& s) {
    return std::any_of(s.begin(), s.end(), [](QChar c) { return c.isLetter(); });
}

bool hasCyrillic(const QString& s) {
    return std::any_of(s.begin(), s.end(),
                       [](QChar c) { return c.script() == QChar::Script_Cyrillic; });
}

} // namespace

TEST(LanguageFiles, StoredAsTheLoaderExpects) {
    struct Case {
        const char* folder;
        dm::IniFile::Encoding encoding;
        int languageId;
    };
    for (const Case& c : {Case{"ENG", dm::IniFile::Encoding::Utf8, 1033},
                          Case{"RUS", dm::IniFile::Encoding::Utf16Le, 1049}}) {
        SCOPED_TRACE(c.folder);
        const QString name = QString::fromLatin1(c.folder);
        const QByteArray raw = rawLangFile(name);
        ASSERT_FALSE(raw.isEmpty());
        dm::IniFile ini;
        ini.parse(raw);
        EXPECT_EQ(ini.encoding(), c.encoding);
        // CR LF line ends throughout: the INI writer keeps whatever the file uses.
        const QString text =
            c.encoding == dm::IniFile::Encoding::Utf16Le
                ? QString::fromUtf16(reinterpret_cast<const char16_t*>(raw.constData() + 2),
                                     (raw.size() - 2) / 2)
                : QString::fromUtf8(raw);
        EXPECT_EQ(text.count(u'\n'), text.count(QStringLiteral("\r\n")));
        EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n")));

        dm::LanguageFile file;
        file.open(languageFolder(name));
        EXPECT_EQ(file.languageId(), c.languageId);
    }
}

TEST(LanguageFiles, BothHoldTheSameKeysAndEveryTextLookedUp) {
    QStringList engDuplicates, rusDuplicates;
    const QSet<QString> eng = allKeys(langFile(QStringLiteral("ENG")), &engDuplicates);
    const QSet<QString> rus = allKeys(langFile(QStringLiteral("RUS")), &rusDuplicates);
    EXPECT_TRUE(engDuplicates.isEmpty()) << engDuplicates.join(u' ').toStdString();
    EXPECT_TRUE(rusDuplicates.isEmpty()) << rusDuplicates.join(u' ').toStdString();
    EXPECT_EQ(QStringList((eng - rus).values()).join(u' '), QString());
    EXPECT_EQ(QStringList((rus - eng).values()).join(u' '), QString());

    QSet<QString> known = {lowerKey(QStringLiteral("Global"), QStringLiteral("LanguageID"))};
    const dm::IniFile engFile = langFile(QStringLiteral("ENG"));
    const dm::IniFile rusFile = langFile(QStringLiteral("RUS"));
    for (const Entry& e : kEntries) {
        const QString section = QString::fromUtf16(e.section), key = QString::fromUtf16(e.key);
        const QString id = lowerKey(section, key);
        EXPECT_TRUE(eng.contains(id)) << id.toStdString();
        // Lookups ignore case, but the files keep the keys as the program spells them.
        EXPECT_TRUE(engFile.keys(section).contains(key)) << id.toStdString();
        EXPECT_TRUE(rusFile.keys(section).contains(key)) << id.toStdString();
        known.insert(id);
    }
    // Nothing in the files that the program never asks for (a misspelt key would be
    // both missing above and surplus here).
    EXPECT_EQ(QStringList((eng - known).values()).join(u' '), QString());
}

TEST(LanguageFiles, EnglishHoldsTheBuiltInTexts) {
    const dm::IniFile eng = langFile(QStringLiteral("ENG"));
    for (const Entry& e : kEntries) {
        const QString section = QString::fromUtf16(e.section), key = QString::fromUtf16(e.key);
        EXPECT_EQ(eng.value(section, key), QString::fromUtf16(e.english))
            << section.toStdString() << '/' << key.toStdString();
    }
}

TEST(LanguageFiles, RussianTranslatesEveryText) {
    const dm::IniFile eng = langFile(QStringLiteral("ENG"));
    const dm::IniFile rus = langFile(QStringLiteral("RUS"));
    for (const Entry& e : kEntries) {
        const QString section = QString::fromUtf16(e.section), key = QString::fromUtf16(e.key);
        const QString english = eng.value(section, key);
        const QString russian = rus.value(section, key);
        SCOPED_TRACE((section + u'/' + key + u'=' + russian).toStdString());
        EXPECT_FALSE(russian.isEmpty());
        if (section == u"Help") {
            EXPECT_EQ(russian, english); // topic names are page names, not words
        } else if (hasLetters(english) && !kSameInEveryLanguage.contains(english)) {
            EXPECT_TRUE(hasCyrillic(russian));
        }
    }
    // The type words are compared with stored goods rows: both pages must use one pair.
    for (const char16_t* key : {u"Weight", u"Count"})
        EXPECT_EQ(rus.value(QStringLiteral("Products"), QString::fromUtf16(key)),
                  rus.value(QStringLiteral("Keys"), QString::fromUtf16(key)));
}

TEST(LanguageFiles, EveryFolderHasItsFlagAndEveryHelpTopic) {
    for (const QString& name : {QStringLiteral("ENG"), QStringLiteral("RUS")}) {
        SCOPED_TRACE(name.toStdString());
        QImageReader flag(languageFolder(name) + QStringLiteral("/Flag.bmp"));
        EXPECT_EQ(flag.format(), QByteArray("bmp"));
        const QImage image = flag.read();
        ASSERT_FALSE(image.isNull()) << flag.errorString().toStdString();
        EXPECT_EQ(image.width(), 24);
        EXPECT_LE(image.height(), 24);

        const dm::IniFile ini = langFile(name);
        for (const QString& key : ini.keys(QStringLiteral("Help"))) {
            const QString page = dm::platform::helpTopicPath(
                languageFolder(name), ini.value(QStringLiteral("Help"), key));
            EXPECT_TRUE(QFileInfo(page).isFile()) << page.toStdString();
        }
        EXPECT_TRUE(QFileInfo(languageFolder(name) + QStringLiteral("/help/style.css")).isFile());
    }
}

// Every literal lookup in the program's sources finds its key in both files, and the
// English file holds one of the texts the sources give for it. A default that begins or
// ends with a blank cannot be kept by an INI file (values are trimmed), so such a text is
// reported rather than matched.
TEST(LanguageFiles, EveryLookupInTheSourcesIsInBothFiles) {
    static const QRegularExpression call(QStringLiteral(
        R"re(LangText\(\s*u"(\w+)"\s*,\s*u"(\w+)"\s*,\s*u"((?:[^"\\]|\\.)*)"\s*\))re"));
    QMap<QString, QSet<QString>> defaults; // "section/key" -> default texts
    QMap<QString, QString> spelling;
    QDirIterator it(dm::test::sourceDir() + QStringLiteral("/src"),
                    {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        for (auto m = call.globalMatch(text); m.hasNext();) {
            const auto match = m.next();
            QString def = match.captured(3);
            def.replace(QStringLiteral("\\\\"), QStringLiteral("\\"))
                .replace(QStringLiteral("\\\""), QStringLiteral("\""));
            const QString id = lowerKey(match.captured(1), match.captured(2));
            defaults[id].insert(def);
            spelling[id] = match.captured(1) + u'/' + match.captured(2);
        }
    }
    ASSERT_FALSE(defaults.isEmpty());

    const dm::IniFile eng = langFile(QStringLiteral("ENG"));
    const dm::IniFile rus = langFile(QStringLiteral("RUS"));
    for (auto d = defaults.cbegin(); d != defaults.cend(); ++d) {
        const QString name = spelling[d.key()];
        SCOPED_TRACE(name.toStdString());
        const QString section = name.section(u'/', 0, 0), key = name.section(u'/', 1);
        for (const QString& def : d.value())
            EXPECT_EQ(def.trimmed(), def) << "a blank at the edge of the text is lost";
        EXPECT_TRUE(rus.contains(section, key));
        EXPECT_TRUE(eng.contains(section, key));
        if (eng.contains(section, key)) {
            EXPECT_TRUE(d.value().contains(eng.value(section, key)))
                << eng.value(section, key).toStdString();
        }
    }
}
