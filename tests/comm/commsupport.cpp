#include "commsupport.h"

#include "app/inifile.h"
#include "platform/serialports.h"
#include "testsupport.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

#include <csignal>

namespace dm::test {

QString scaleSimPath() {
    return stagedProgramFolder() + QStringLiteral("/scale-sim");
}

QString dmctlPath() {
    return stagedProgramFolder() + QStringLiteral("/dmctl");
}

SimProcess::~SimProcess() {
    stop();
}

bool SimProcess::start(const QStringList& args, const QStringList& prefix) {
    m_process = std::make_unique<QProcess>();
    if (prefix.isEmpty()) {
        m_process->start(scaleSimPath(), args);
    } else {
        m_process->start(prefix.first(), prefix.mid(1) + QStringList{scaleSimPath()} + args);
    }
    if (!m_process->waitForStarted(5000))
        return false;
    QDeadlineTimer deadline(5000);
    QByteArray out;
    while (!deadline.hasExpired() && m_process->state() == QProcess::Running) {
        m_process->waitForReadyRead(50);
        out += m_process->readAllStandardOutput();
        if (out.contains("ready")) {
            m_ready = QString::fromUtf8(out).trimmed();
            return true;
        }
    }
    return false;
}

void SimProcess::stop() {
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        // Through "ip netns exec" the pid is that of the simulator itself (it execs).
        ::kill(pid_t(m_process->processId()), SIGTERM);
        if (!m_process->waitForFinished(3000)) {
            m_process->kill();
            m_process->waitForFinished(3000);
        }
    }
    m_process.reset();
}

QString SimProcess::output() const {
    return m_process ? QString::fromUtf8(m_process->readAllStandardError()) : QString();
}

PtyPair::PtyPair() {
    m_socat = std::make_unique<QProcess>();
    m_socat->start(QStringLiteral("socat"), {QStringLiteral("pty,raw,echo=0,link=") + first(),
                                             QStringLiteral("pty,raw,echo=0,link=") + second()});
    if (!m_socat->waitForStarted(3000))
        return;
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        if (QFileInfo::exists(first()) && QFileInfo::exists(second())) {
            m_valid = true;
            return;
        }
        QThread::msleep(10);
    }
}

PtyPair::~PtyPair() {
    if (m_socat && m_socat->state() != QProcess::NotRunning) {
        m_socat->terminate();
        if (!m_socat->waitForFinished(3000))
            m_socat->kill();
        m_socat->waitForFinished(3000);
    }
}

void useSerialPorts(const QString& terminalIni, const QList<std::pair<int, QString>>& ports) {
    for (const auto& [n, path] : ports)
        writeIniValue(terminalIni, QStringLiteral("Serial"),
                      QStringLiteral("COM") + QString::number(n), path);
    // Only the named ports: the machine's own serial ports stay out of the tests.
    SerialPortMap map = SerialPortMap::load(terminalIni);
    for (int n = 1; n <= SerialPortMap::PortCount; ++n) {
        bool named = false;
        for (const auto& port : ports)
            named = named || port.first == n;
        if (!named)
            map.setDevicePath(n, QString());
    }
    setActiveSerialPortMap(map);
}

} // namespace dm::test
