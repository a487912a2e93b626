#pragma once

#include <QString>
#include <QStringList>

namespace dm {

// The roots of the mounted volumes a memory card can be on: volumes whose block device
// is removable, or that the desktop mounted under /media or /run/media. Floppy drives
// are never offered. sysBlock is the folder of the kernel's block devices (tests point
// it elsewhere).
QStringList RemovableDriveRoots(const QString& sysBlock = QStringLiteral("/sys/block"));

// Whether a volume on device (such as /dev/sdb1) mounted at root is a card drive.
bool IsRemovableVolume(const QString& device, const QString& root,
                       const QString& sysBlock = QStringLiteral("/sys/block"));

} // namespace dm
