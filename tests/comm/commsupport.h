#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace dm::test {

// One scale-sim process from the staged program folder, started and waited for until
// it reports itself ready; stopped (by its own pid) when the object goes.
class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess();
    // Starts scale-sim with the arguments; an empty prefix runs it directly, otherwise
    // through the prefix (for example "ip netns exec NAME"). False when it did not
    // become ready within five seconds.
    bool start(const QStringList& args, const QStringList& prefix = {});
    void stop();
    QString output() const; // standard error so far (the frame log)
    QString readyLine() const { return m_ready; }

private:
    std::unique_ptr<QProcess> m_process;
    QString m_ready;
};

// A pair of connected pseudo-terminals made by socat, reachable through two links in a
// temporary folder.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    bool isValid() const { return m_valid; }
    QString first() const { return m_dir.filePath(QStringLiteral("a")); }
    QString second() const { return m_dir.filePath(QStringLiteral("b")); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_socat;
    bool m_valid = false;
};

// Writes a terminal.ini whose Serial section maps COMn to the given devices and makes
// it the process's serial port map.
void useSerialPorts(const QString& terminalIni, const QList<std::pair<int, QString>>& ports);

QString scaleSimPath();
QString dmctlPath();

} // namespace dm::test
