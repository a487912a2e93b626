#include "db/compaction.h"

#include "db/dbtexts.h"
#include "db/sqlitefile.h"
#include "platform/filesync.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace dm {

bool replaceFile(const QString& from, const QString& to, QString* error) {
    // The new file's data reaches the disk before its name does, so a power cut leaves
    // either the old file or the whole new one (SQLite does not sync what VACUUM INTO
    // writes).
    if (!platform::syncFileToDisk(from, error))
        return false;
    // QFile::rename refuses an existing target; std::filesystem::rename replaces it
    // atomically, so the target is either the old or the new file at every moment.
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(from).toStdString()),
                            std::filesystem::path(QFile::encodeName(to).toStdString()), ec);
    if (ec) {
        if (error)
            *error = QString::fromLocal8Bit(ec.message());
        return false;
    }
    platform::syncFolderToDisk(QFileInfo(to).absolutePath());
    return true;
}

namespace detail {

bool compactDatabase(const QString& path, QString* error, const ReplaceFunction& replace) {
    auto fail = [&](const QString& reason) {
        if (error)
            *error = dbtext::compactFailed(path, reason);
        return false;
    };
    const QFileInfo fi(path);
    if (!fi.isFile())
        return fail(dbtext::fileNotFound(path));

    // The copy goes into the same folder, so that the final rename stays on one file system.
    QTemporaryFile tmp(fi.absolutePath() + QStringLiteral("/.") + fi.fileName() +
                       QStringLiteral(".compact-XXXXXX"));
    if (!tmp.open())
        return fail(tmp.errorString());
    tmp.close(); // VACUUM INTO accepts an empty target file

    QString reason;
    if (!sqlite::vacuumInto(fi.absoluteFilePath(), tmp.fileName(), &reason))
        return fail(reason); // tmp removes its file
    QFile::setPermissions(tmp.fileName(), fi.permissions());
    if (!replace(tmp.fileName(), fi.absoluteFilePath(), &reason))
        return fail(reason);
    tmp.setAutoRemove(false); // it is the database now
    return true;
}

} // namespace detail

bool CompactDatabase(const QString& path, QString* error) {
    return detail::compactDatabase(path, error, replaceFile);
}

} // namespace dm
