#include "platform/help.h"

#include <QDesktopServices>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace dm::platform {

QString helpTopicPath(const QString& languageFolder, const QString& topic) {
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    QStringList parts;
    for (const QString& raw : topic.split(separators, Qt::SkipEmptyParts)) {
        const QString part = raw.trimmed();
        if (part.isEmpty() || part == u"." || part == u"..")
            continue;
        parts.append(part);
    }
    if (parts.isEmpty())
        parts.append(QStringLiteral("index"));
    QString& last = parts.last();
    if (!last.endsWith(u".html", Qt::CaseInsensitive) &&
        !last.endsWith(u".htm", Qt::CaseInsensitive))
        last += QStringLiteral(".html");
    return languageFolder + QStringLiteral("/help/") + parts.join(u'/');
}

bool openHelpTopic(const QString& languageFolder, const QString& topic) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(helpTopicPath(languageFolder, topic)));
}

} // namespace dm::platform
