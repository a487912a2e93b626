#include "export/xmltext.h"

namespace dm {

namespace {

void appendUtf8(QByteArray& out, char32_t c) {
    if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6)));
        out.append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | (c >> 18)));
        out.append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    }
}

} // namespace

void appendXmlText(QByteArray& out, QStringView text) {
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        switch (u) {
        case u'&':
            out.append("&amp;");
            continue;
        case u'<':
            out.append("&lt;");
            continue;
        case u'>':
            out.append("&gt;");
            continue;
        case u'"':
            out.append("&quot;");
            continue;
        case u'\'':
            out.append("&apos;");
            continue;
        default:
            break;
        }
        if (u < 0x20) {
            if (u == u'\t' || u == u'\n' || u == u'\r')
                out.append(char(u));
            continue;
        }
        if (QChar::isHighSurrogate(u)) {
            if (i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
                appendUtf8(out, QChar::surrogateToUcs4(u, text[i + 1].unicode()));
                ++i;
            }
            continue;
        }
        if (QChar::isLowSurrogate(u) || u == 0xFFFE || u == 0xFFFF)
            continue;
        appendUtf8(out, u);
    }
}

} // namespace dm
