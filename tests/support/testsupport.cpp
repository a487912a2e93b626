#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace dm::test {

QString stagedProgramFolder() {
    return QStringLiteral(DM_PROGRAM_DIR);
}
QString sourceDir() {
    return QStringLiteral(DM_SOURCE_DIR);
}
QString testDataDir() {
    return QStringLiteral(DM_TEST_DATA_DIR);
}

bool copyTree(const QString& from, const QString& to) {
    QDir src(from);
    if (!src.exists())
        return false;
    QDir().mkpath(to);
    const auto entries = src.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo& fi : entries) {
        const QString target = to + u'/' + fi.fileName();
        if (fi.isDir()) {
            if (!copyTree(fi.absoluteFilePath(), target))
                return false;
        } else {
            QFile::remove(target);
            if (!QFile::copy(fi.absoluteFilePath(), target))
                return false;
        }
    }
    return true;
}

ScratchProgramFolder::ScratchProgramFolder() {
    const QString staged = stagedProgramFolder();
    // Executables are copied, not linked: the program finds its folder through its own
    // path, which a link would resolve back to the build folder.
    const auto entries =
        QDir(staged).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo& fi : entries) {
        const QString target = root() + u'/' + fi.fileName();
        if (fi.isDir()) {
            if (fi.fileName() == QStringLiteral("Data") ||
                fi.fileName() == QStringLiteral("Export"))
                continue;
            copyTree(fi.absoluteFilePath(), target);
        } else {
            QFile::copy(fi.absoluteFilePath(), target);
        }
    }
    QFile::remove(path(QStringLiteral("System/terminal.ini")));
    QFile::remove(path(QStringLiteral("System/History.log")));
}

QString ScratchProgramFolder::root() const {
    return m_dir.path();
}
QString ScratchProgramFolder::path(const QString& relative) const {
    return m_dir.path() + u'/' + relative;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(data);
}

} // namespace dm::test
