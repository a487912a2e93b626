#pragma once

#include <QByteArray>
#include <QStringView>

namespace dm {

// Appends text as UTF-8 XML character data, safe in element content and in quoted
// attribute values: the five markup characters become entities, and what XML 1.0 cannot
// hold at all (control characters other than tab, line feed and carriage return, lone
// surrogates, U+FFFE and U+FFFF) is left out, since one such character makes the whole
// document unreadable.
void appendXmlText(QByteArray& out, QStringView text);

} // namespace dm
