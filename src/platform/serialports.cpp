#include "platform/serialports.h"

#include "app/inifile.h"
#include "app/programfolder.h"

#include <QDeadlineTimer>
#include <QSerialPortInfo>
#include <QThread>

#include <algorithm>
#include <mutex>
#include <optional>

#include <sys/ioctl.h>
#include <termios.h>

namespace dm {

QStringList SerialPortMap::systemPorts() {
    QStringList paths;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& p : ports)
        paths.append(p.systemLocation());
    std::sort(paths.begin(), paths.end());
    if (paths.size() > PortCount)
        paths.resize(PortCount);
    return paths;
}

SerialPortMap SerialPortMap::load(const QString& terminalIni) {
    SerialPortMap map;
    const QStringList system = systemPorts();
    for (int i = 0; i < system.size(); ++i)
        map.m_paths[size_t(i)] = system[i];
    const IniFile ini(terminalIni);
    for (int n = 1; n <= PortCount; ++n) {
        const QString key = QStringLiteral("COM") + QString::number(n);
        const QString path = ini.value(QStringLiteral("Serial"), key).trimmed();
        if (!path.isEmpty())
            map.m_paths[size_t(n - 1)] = path;
    }
    return map;
}

QString SerialPortMap::devicePath(int portNumber) const {
    if (portNumber < 1 || portNumber > PortCount)
        return {};
    return m_paths[size_t(portNumber - 1)];
}

void SerialPortMap::setDevicePath(int portNumber, const QString& path) {
    if (portNumber >= 1 && portNumber <= PortCount)
        m_paths[size_t(portNumber - 1)] = path;
}

namespace {
std::mutex mapMutex;
std::optional<SerialPortMap> activeMap;
} // namespace

SerialPortMap activeSerialPortMap() {
    std::lock_guard lock(mapMutex);
    if (!activeMap)
        activeMap = SerialPortMap::load(ProgramFolder::ofExecutable().terminalIni());
    return *activeMap;
}

void setActiveSerialPortMap(const SerialPortMap& map) {
    std::lock_guard lock(mapMutex);
    activeMap = map;
}

bool waitSerialOutputSent(qintptr handle, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        int queued = 0;
        // A device that cannot tell its queue (some pseudo-terminals) counts as sent.
        if (ioctl(int(handle), TIOCOUTQ, &queued) != 0 || queued <= 0)
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::usleep(200);
    }
}

} // namespace dm
