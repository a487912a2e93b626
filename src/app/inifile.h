#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace dm {

// An INI file read and written by the rules of the Windows profile functions:
// section and key names match without regard to case, values are plain text
// (backslashes, commas and quotes are ordinary characters), the first of two equal
// sections or keys wins, and writing keeps every other line of the file as it was.
// Files may be UTF-16 with a byte-order mark, UTF-8 with or without one, or an 8-bit
// legacy code page, which is decoded with the given function (Latin-1 by default).
class IniFile {
public:
    enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Legacy };
    using LegacyDecoder = std::function<QString(const QByteArray&)>;

    IniFile() = default;
    explicit IniFile(const QString& path) { load(path); }

    // Reads the file; a missing or unreadable file is an empty INI (as the profile
    // functions treat it). Returns false when the file could not be read.
    bool load(const QString& path, const LegacyDecoder& legacy = {});
    void parse(const QByteArray& bytes, const LegacyDecoder& legacy = {});

    QString path() const { return m_path; }
    Encoding encoding() const { return m_encoding; }

    bool contains(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key,
                  const QString& defaultValue = QString()) const;
    int intValue(const QString& section, const QString& key, int defaultValue) const;
    QStringList sections() const;
    QStringList keys(const QString& section) const;

    // Changes the value in memory (adding the section or key where missing).
    void setValue(const QString& section, const QString& key, const QString& value);
    // Writes the whole file atomically in its own encoding. Returns false on failure
    // and leaves the file on disk as it was.
    bool save(QString* error = nullptr) const;
    bool saveAs(const QString& path, QString* error = nullptr) const;
    QByteArray serialize() const;

private:
    struct Line {
        QString text;    // the line as read (or built), without its line end
        QString section; // for a section header: its name; empty otherwise
        QString key;     // for a key line: its name (trimmed); empty otherwise
        QString value;   // for a key line: its value (trimmed)
        bool isSection = false;
        bool isKey = false;
    };
    qsizetype findSection(const QString& section) const;
    qsizetype findKey(qsizetype sectionLine, const QString& key) const;

    QString m_path;
    QList<Line> m_lines;
    Encoding m_encoding = Encoding::Utf8;
    QString m_lineEnd = QStringLiteral("\r\n");
};

// Reads one value straight from a file (a fresh read each call).
QString readIniValue(const QString& path, const QString& section, const QString& key,
                     const QString& defaultValue = QString());
// Writes one value into a file, keeping the rest of it; creates the file when missing.
bool writeIniValue(const QString& path, const QString& section, const QString& key,
                   const QString& value, QString* error = nullptr);

} // namespace dm
