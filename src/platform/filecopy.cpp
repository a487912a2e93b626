#include "platform/filecopy.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace dm::platform {

bool copyFileReplacing(const QString& source, const QString& target, QString* error) {
    if (source.isEmpty()) { // nothing to copy, such as a file that is not on a card
        if (error)
            *error = QStringLiteral("no file to copy");
        return false;
    }
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QDir::toNativeSeparators(source) + QStringLiteral(": ") + in.errorString();
        return false;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QDir::toNativeSeparators(target) + QStringLiteral(": ") + out.errorString();
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            break;
        if (out.write(chunk) != chunk.size())
            break;
    }
    if (in.error() != QFileDevice::NoError) {
        out.cancelWriting();
        if (error)
            *error = QDir::toNativeSeparators(source) + QStringLiteral(": ") + in.errorString();
        return false;
    }
    if (!out.commit()) {
        if (error)
            *error = QDir::toNativeSeparators(target) + QStringLiteral(": ") + out.errorString();
        return false;
    }
    return true;
}

} // namespace dm::platform
