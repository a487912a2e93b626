#include "app/programfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace dm {

ProgramFolder::ProgramFolder(const QString& root)
    : m_root(QDir::cleanPath(QDir(root).absolutePath())) {}

ProgramFolder ProgramFolder::ofExecutable() {
    return ProgramFolder(QCoreApplication::applicationDirPath());
}

QString ProgramFolder::path(const QString& relative) const {
    return m_root + u'/' + relative;
}

} // namespace dm
