#pragma once

#include "comm/scalelink.h"

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace dm {

// One IPv4 address of a network interface with its mask, as dotted text.
struct InterfaceAddress {
    QString address;
    QString netmask;
    bool operator==(const InterfaceAddress&) const = default;
};

// The IPv4 addresses of the interfaces that can broadcast and are not loopback.
QList<InterfaceAddress> ListInterfaces();

// The broadcast address of an interface, octet by octet: where the mask octet is 0 the
// address octet becomes 255, every other octet stays (so 172.16.5.4/255.255.240.0 gives
// 172.16.5.255). Empty when either text is not four decimal octets.
QString BroadcastAddress(const QString& address, const QString& mask);

// The mode word shown for a scale's mode code; the firmware may send the byte values
// 0, 1, 2 or the digits "0", "1", "2". Empty for any other code.
QString scaleModeWord(QChar mode);

// The result of a pass: one address per answer in the order found, and the mode code
// of each (one character whose code is byte 16 of the answer).
struct FoundScales {
    QStringList addresses;
    QStringList modes;
    bool operator==(const FoundScales&) const = default;
};

struct DiscoveryOptions {
    int listenMs = 2000; // listening time per interface
    // The interfaces broadcast on; ListInterfaces unless a test or the caller names them.
    std::function<QList<InterfaceAddress>()> interfaces = ListInterfaces;
    QStringList comPorts; // ComPortList: the ports that opened at start-up
    QHostAddress bindAddress = QHostAddress(QHostAddress::AnyIPv4);
    quint16 port = ScaleLink::DefaultTcpPort;
    LinkTimings serialTimings;
    // Told of every broadcast address a pass sends to (diagnostics).
    std::function<void(const QString&)> onBroadcast;
};

// One discovery pass: the Identify broadcast on each interface with listening, then
// the serial probes. Ends early, with what it has, when stopRequested() turns true.
FoundScales runDiscoveryPass(const DiscoveryOptions& options,
                             const std::function<bool()>& stopRequested = {});

class ScaleDiscovery;

// The discovery thread: passes one after another while discovery is enabled.
class TScalesThread : public QThread {
public:
    explicit TScalesThread(ScaleDiscovery& owner) : m_owner(owner) {}

protected:
    void run() override; // the pass loop

private:
    ScaleDiscovery& m_owner;
};

// Owns the discovery thread and its published result. The result is replaced as one
// finished snapshot under a lock; readers get a copy.
class ScaleDiscovery {
public:
    explicit ScaleDiscovery(DiscoveryOptions options = {});
    ~ScaleDiscovery();
    ScaleDiscovery(const ScaleDiscovery&) = delete;
    ScaleDiscovery& operator=(const ScaleDiscovery&) = delete;

    void setOptions(const DiscoveryOptions& options); // taken at the start of each pass
    void setComPorts(const QStringList& comPortList);

    // Starts the thread; a second call starts no second thread.
    void start();
    // Asks the thread to end and waits for it; a pass under way ends at once.
    void stop();
    bool isRunning() const;

    // While disabled no pass starts, and a pass that ends does not publish.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isEnabled() const { return m_enabled; }
    // Set at the end of every pass.
    bool isDone() const { return m_done; }
    FoundScales snapshot() const;

    quint64 passesStarted() const { return m_started; }
    quint64 passesEnded() const { return m_ended; }

private:
    friend class TScalesThread;
    void execute();
    DiscoveryOptions options() const;
    bool stopRequested() const { return m_stop; }

    mutable std::mutex m_mutex;
    DiscoveryOptions m_options;
    FoundScales m_found;
    std::atomic<bool> m_enabled{true};
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_stop{false};
    std::atomic<quint64> m_started{0};
    std::atomic<quint64> m_ended{0};
    std::unique_ptr<TScalesThread> m_thread;
};

// The process-wide discovery of the main window.
ScaleDiscovery& scaleDiscovery();
void StartDiscovery();
void StopDiscovery();
bool DiscoveryDone();
bool DiscoveryEnabled();
void SetDiscoveryEnabled(bool enabled);
FoundScales FoundScalesSnapshot();

// Keeps the published found scales as they are while they are read by index: clears
// DiscoveryEnabled, gives a finishing pass 100 ms through pause, and sets the flag again
// however the reader ends. A null discovery holds nothing.
class DiscoveryHold {
public:
    DiscoveryHold(ScaleDiscovery* discovery, const std::function<void(int)>& pause)
        : m_discovery(discovery) {
        if (!m_discovery)
            return;
        m_discovery->setEnabled(false);
        if (pause)
            pause(100);
    }
    ~DiscoveryHold() {
        if (m_discovery)
            m_discovery->setEnabled(true);
    }
    DiscoveryHold(const DiscoveryHold&) = delete;
    DiscoveryHold& operator=(const DiscoveryHold&) = delete;

private:
    ScaleDiscovery* m_discovery;
};

} // namespace dm
