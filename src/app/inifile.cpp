#include "app/inifile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace dm {

namespace {

QString decodeUtf16(const QByteArray& bytes, bool littleEndian) {
    QString out;
    const qsizetype n = bytes.size() / 2;
    out.resize(n);
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    for (qsizetype i = 0; i < n; ++i) {
        const uint8_t a = p[2 * i];
        const uint8_t b = p[2 * i + 1];
        out[i] = QChar(littleEndian ? char16_t(a | (b << 8)) : char16_t((a << 8) | b));
    }
    return out;
}

bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = decoder(bytes);
    return !decoder.hasError();
}

} // namespace

bool IniFile::load(const QString& path, const LegacyDecoder& legacy) {
    m_path = path;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        m_lines.clear();
        m_encoding = Encoding::Utf8;
        return false;
    }
    parse(f.readAll(), legacy);
    return true;
}

void IniFile::parse(const QByteArray& bytes, const LegacyDecoder& legacy) {
    m_lines.clear();
    QString text;
    if (bytes.startsWith("\xFF\xFE")) {
        m_encoding = Encoding::Utf16Le;
        text = decodeUtf16(bytes.mid(2), true);
    } else if (bytes.startsWith("\xFE\xFF")) {
        m_encoding = Encoding::Utf16Be;
        text = decodeUtf16(bytes.mid(2), false);
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        m_encoding = Encoding::Utf8Bom;
        text = QString::fromUtf8(bytes.mid(3));
    } else if (isValidUtf8(bytes)) {
        m_encoding = Encoding::Utf8;
        text = QString::fromUtf8(bytes);
    } else {
        m_encoding = Encoding::Legacy;
        text = legacy ? legacy(bytes) : QString::fromLatin1(bytes);
    }
    m_lineEnd = text.contains(u"\r\n") || !text.contains(u'\n') ? QStringLiteral("\r\n")
                                                                : QStringLiteral("\n");

    QString currentSection;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text.at(end) != u'\n' && text.at(end) != u'\r')
            ++end;
        Line line;
        line.text = text.mid(start, end - start);
        const QString trimmed = line.text.trimmed();
        if (trimmed.startsWith(u'[')) {
            const qsizetype close = trimmed.indexOf(u']');
            line.isSection = true;
            line.section = (close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).trimmed();
            currentSection = line.section;
        } else if (!trimmed.isEmpty() && !trimmed.startsWith(u';')) {
            const qsizetype eq = trimmed.indexOf(u'=');
            if (eq > 0) {
                line.isKey = true;
                line.section = currentSection;
                line.key = trimmed.left(eq).trimmed();
                line.value = trimmed.mid(eq + 1).trimmed();
            }
        }
        m_lines.append(line);
        // one line end: CR LF, LF or a lone CR
        if (end < n && text.at(end) == u'\r')
            ++end;
        if (end < n && text.at(end) == u'\n')
            ++end;
        start = end;
    }
}

qsizetype IniFile::findSection(const QString& section) const {
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].isSection && m_lines[i].section.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

qsizetype IniFile::findKey(qsizetype sectionLine, const QString& key) const {
    for (qsizetype i = sectionLine + 1; i < m_lines.size(); ++i) {
        if (m_lines[i].isSection)
            return -1;
        if (m_lines[i].isKey && m_lines[i].key.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool IniFile::contains(const QString& section, const QString& key) const {
    const qsizetype s = findSection(section);
    return s >= 0 && findKey(s, key) >= 0;
}

QString IniFile::value(const QString& section, const QString& key,
                       const QString& defaultValue) const {
    const qsizetype s = findSection(section);
    if (s < 0)
        return defaultValue;
    const qsizetype k = findKey(s, key);
    return k < 0 ? defaultValue : m_lines[k].value;
}

int IniFile::intValue(const QString& section, const QString& key, int defaultValue) const {
    const QString v = value(section, key).trimmed();
    if (v.isEmpty())
        return defaultValue;
    // The profile functions read the leading decimal digits and stop at the first other
    // character.
    qsizetype i = 0;
    bool negative = false;
    if (i < v.size() && (v[i] == u'-' || v[i] == u'+')) {
        negative = v[i] == u'-';
        ++i;
    }
    qint64 result = 0;
    qsizetype digits = 0;
    while (i < v.size() && v[i].isDigit() && v[i].unicode() < 128 && result < 0x7FFFFFFF) {
        result = result * 10 + (v[i].unicode() - u'0');
        ++i;
        ++digits;
    }
    if (digits == 0)
        return 0; // a value that is no number reads as 0, as the profile functions do
    return static_cast<int>(negative ? -result : result);
}

QStringList IniFile::sections() const {
    QStringList out;
    for (const Line& l : m_lines)
        if (l.isSection)
            out.append(l.section);
    return out;
}

QStringList IniFile::keys(const QString& section) const {
    QStringList out;
    const qsizetype s = findSection(section);
    if (s < 0)
        return out;
    for (qsizetype i = s + 1; i < m_lines.size() && !m_lines[i].isSection; ++i)
        if (m_lines[i].isKey)
            out.append(m_lines[i].key);
    return out;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    Line kl;
    kl.isKey = true;
    kl.section = section;
    kl.key = key;
    kl.value = value;
    kl.text = key + u'=' + value;
    qsizetype s = findSection(section);
    if (s < 0) {
        Line sl;
        sl.isSection = true;
        sl.section = section;
        sl.text = u'[' + section + u']';
        // Keep a blank line between sections, as the profile functions do.
        if (!m_lines.isEmpty() && !m_lines.last().text.trimmed().isEmpty()) {
            m_lines.append(Line{});
        }
        m_lines.append(sl);
        m_lines.append(kl);
        return;
    }
    const qsizetype k = findKey(s, key);
    if (k >= 0) {
        kl.key = m_lines[k].key; // keep the spelling of the existing key
        kl.text = kl.key + u'=' + value;
        m_lines[k] = kl;
        return;
    }
    // Append after the last non-blank line of the section.
    qsizetype insertAt = s + 1;
    for (qsizetype i = s + 1; i < m_lines.size() && !m_lines[i].isSection; ++i)
        if (!m_lines[i].text.trimmed().isEmpty())
            insertAt = i + 1;
    m_lines.insert(insertAt, kl);
}

QByteArray IniFile::serialize() const {
    QString text;
    for (const Line& l : m_lines) {
        text += l.text;
        text += m_lineEnd;
    }
    switch (m_encoding) {
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
        const bool le = m_encoding == Encoding::Utf16Le;
        QByteArray out = le ? QByteArray("\xFF\xFE", 2) : QByteArray("\xFE\xFF", 2);
        for (QChar c : text) {
            const char16_t u = c.unicode();
            const char lo = char(u & 0xFF), hi = char(u >> 8);
            if (le) {
                out.append(lo);
                out.append(hi);
            } else {
                out.append(hi);
                out.append(lo);
            }
        }
        return out;
    }
    case Encoding::Utf8Bom:
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case Encoding::Legacy:
        // A legacy file that we change is written back as UTF-8, which every reader
        // here takes; the legacy code page cannot hold every character anyway.
    case Encoding::Utf8:
        break;
    }
    return text.toUtf8();
}

bool IniFile::save(QString* error) const {
    return saveAs(m_path, error);
}

bool IniFile::saveAs(const QString& path, QString* error) const {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    f.write(serialize());
    if (!f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

QString readIniValue(const QString& path, const QString& section, const QString& key,
                     const QString& defaultValue) {
    IniFile ini(path);
    return ini.value(section, key, defaultValue);
}

bool writeIniValue(const QString& path, const QString& section, const QString& key,
                   const QString& value, QString* error) {
    IniFile ini;
    ini.load(path);
    ini.setValue(section, key, value);
    return ini.saveAs(path, error);
}

} // namespace dm
