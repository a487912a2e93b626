#include "platform/removabledrives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace dm {

namespace {

// The whole-disk name of a partition device: sdb1 -> sdb, mmcblk0p1 -> mmcblk0. The
// partition's own sysfs entry under /sys/class/block links into its disk's folder.
QString diskOf(const QString& name, const QString& sysBlock) {
    if (QFileInfo::exists(sysBlock + u'/' + name))
        return name;
    QString disk = name;
    while (!disk.isEmpty() && disk.back().isDigit())
        disk.chop(1);
    if (disk.endsWith(u'p') && disk.size() > 1 && disk.at(disk.size() - 2).isDigit() &&
        !QFileInfo::exists(sysBlock + u'/' + disk))
        disk.chop(1);
    return disk;
}

bool underMediaFolder(const QString& root) {
    return root.startsWith(QStringLiteral("/media/")) ||
           root.startsWith(QStringLiteral("/run/media/"));
}

} // namespace

bool IsRemovableVolume(const QString& device, const QString& root, const QString& sysBlock) {
    QString name;
    if (device.startsWith(QStringLiteral("/dev/"))) {
        const QString canonical = QFileInfo(device).canonicalFilePath();
        name = QFileInfo(canonical.isEmpty() ? device : canonical).fileName();
    }
    if (name.startsWith(QStringLiteral("fd")))
        return false; // floppy drives
    if (!name.isEmpty()) {
        QFile flag(sysBlock + u'/' + diskOf(name, sysBlock) + QStringLiteral("/removable"));
        if (flag.open(QIODevice::ReadOnly) && flag.readAll().trimmed() == "1")
            return true;
    }
    return underMediaFolder(root);
}

QStringList RemovableDriveRoots(const QString& sysBlock) {
    QStringList roots;
    const auto volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& v : volumes) {
        if (!v.isValid() || !v.isReady())
            continue;
        const QString root = v.rootPath();
        if (root == QStringLiteral("/"))
            continue;
        if (IsRemovableVolume(QString::fromLocal8Bit(v.device()), root, sysBlock))
            roots << root;
    }
    roots.sort();
    roots.removeDuplicates();
    return roots;
}

} // namespace dm
