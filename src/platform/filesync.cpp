#include "platform/filesync.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace dm::platform {

namespace {

int openForSync(const QString& path, int flags) {
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do
        fd = ::open(name.constData(), flags | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    return fd;
}

} // namespace

bool syncFileToDisk(const QString& path, QString* error) {
    const int fd = openForSync(path, O_RDONLY);
    int rc = fd < 0 ? -1 : ::fsync(fd);
    const int saved = errno;
    if (fd >= 0)
        ::close(fd);
    if (rc != 0 && error)
        *error = QString::fromLocal8Bit(std::strerror(saved));
    return rc == 0;
}

void syncFolderToDisk(const QString& folder) {
    const int fd = openForSync(folder, O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    (void)::fsync(fd);
    ::close(fd);
}

} // namespace dm::platform
