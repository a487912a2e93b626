#include "comm/discovery.h"

#include "app/langtext.h"
#include "comm/seriallink.h"

#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QSet>
#include <QUdpSocket>

#include <sys/socket.h>

namespace dm {

namespace {

// Four decimal octets between dots, or none.
std::optional<std::array<int, 4>> parseOctets(const QString& text) {
    const QStringList parts = text.split(u'.');
    if (parts.size() != 4)
        return std::nullopt;
    std::array<int, 4> octets{};
    for (int i = 0; i < 4; ++i) {
        const QString& p = parts[i];
        if (p.isEmpty() || p.size() > 3)
            return std::nullopt;
        for (QChar c : p)
            if (c < u'0' || c > u'9')
                return std::nullopt;
        octets[size_t(i)] = p.toInt();
        if (octets[size_t(i)] > 255)
            return std::nullopt;
    }
    return octets;
}

QString ipv4Text(const QHostAddress& a) {
    bool ok = false;
    const quint32 v4 = a.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : a.toString();
}

// The computer's own addresses: an answer from one of them is our own request.
QSet<QString> ownAddresses() {
    QSet<QString> own;
    const auto all = QNetworkInterface::allAddresses();
    for (const QHostAddress& a : all)
        if (a.protocol() == QAbstractSocket::IPv4Protocol)
            own.insert(ipv4Text(a));
    return own;
}

const QString HostMask = QStringLiteral("255.255.255.255");

void listenOnInterface(const InterfaceAddress& iface, const DiscoveryOptions& options,
                       const QSet<QString>& own, const std::function<bool()>& stop,
                       FoundScales& found) {
    if (iface.netmask == HostMask)
        return;
    const QString target = BroadcastAddress(iface.address, iface.netmask);
    if (target.isEmpty())
        return;
    QUdpSocket socket;
    if (!socket.bind(options.bindAddress, options.port,
                     QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint))
        return;
    // Sending to a broadcast address needs the socket's permission.
    const int on = 1;
    setsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    if (options.onBroadcast)
        options.onBroadcast(target);
    socket.writeDatagram(identifyRequest(), QHostAddress(target), options.port);
    QDeadlineTimer deadline(options.listenMs);
    while (!deadline.hasExpired() && !(stop && stop())) {
        socket.waitForReadyRead(
            int(qBound<qint64>(qint64(1), deadline.remainingTime(), qint64(50))));
        while (socket.hasPendingDatagrams()) {
            const QNetworkDatagram d = socket.receiveDatagram(frame::MaxPayload + 1);
            const auto mode = identifyMode(d.data());
            const QString sender = ipv4Text(d.senderAddress());
            if (!mode || own.contains(sender))
                continue;
            found.addresses.append(sender);
            found.modes.append(QString(QChar(char16_t(*mode))));
        }
    }
}

void probeSerialPort(const QString& number, const DiscoveryOptions& options,
                     const std::function<bool()>& stop, FoundScales& found) {
    bool ok = false;
    const int n = number.toInt(&ok);
    if (!ok || n < 1 || n > 9)
        return;
    SerialLink link(n, options.serialTimings);
    if (stop)
        link.setCancelCheck(stop);
    // A transfer holding the port has the lists to itself anyway; skip it this pass.
    if (!link.tryOpen())
        return;
    link.write(identifyRequest());
    const QByteArray reply = link.read();
    link.close();
    if (const auto mode = identifyMode(reply)) {
        found.addresses.append(QStringLiteral("COM") + number);
        found.modes.append(QString(QChar(char16_t(*mode))));
    }
}

} // namespace

QList<InterfaceAddress> ListInterfaces() {
    QList<InterfaceAddress> list;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& i : interfaces) {
        const auto flags = i.flags();
        if (!(flags & QNetworkInterface::CanBroadcast) || (flags & QNetworkInterface::IsLoopBack))
            continue;
        const auto entries = i.addressEntries();
        for (const QNetworkAddressEntry& e : entries) {
            if (e.ip().protocol() != QAbstractSocket::IPv4Protocol || e.netmask().isNull())
                continue;
            list.append({ipv4Text(e.ip()), ipv4Text(e.netmask())});
        }
    }
    return list;
}

QString BroadcastAddress(const QString& address, const QString& mask) {
    const auto a = parseOctets(address);
    const auto m = parseOctets(mask);
    if (!a || !m)
        return {};
    QStringList out;
    for (size_t i = 0; i < 4; ++i)
        out.append(QString::number((*m)[i] == 0 ? 255 : (*a)[i]));
    return out.join(u'.');
}

QString scaleModeWord(QChar mode) {
    switch (mode.unicode()) {
    case 0:
    case u'0':
        return LangText(u"Misc", u"ModeVola", u"VOLA");
    case 1:
    case u'1':
        return LangText(u"Misc", u"ModeZun", u"ZUN");
    case 2:
    case u'2':
        return LangText(u"Misc", u"ModeQEL", u"QEL");
    default:
        return {};
    }
}

FoundScales runDiscoveryPass(const DiscoveryOptions& options, const std::function<bool()>& stop) {
    FoundScales found;
    auto stopped = [&] { return stop && stop(); };
    const QSet<QString> own = ownAddresses();
    const QList<InterfaceAddress> interfaces =
        options.interfaces ? options.interfaces() : QList<InterfaceAddress>();
    for (const InterfaceAddress& iface : interfaces) {
        if (stopped())
            return found;
        listenOnInterface(iface, options, own, stop, found);
    }
    for (const QString& port : options.comPorts) {
        if (stopped())
            return found;
        probeSerialPort(port, options, stop, found);
    }
    return found;
}

void TScalesThread::run() {
    m_owner.execute();
}

ScaleDiscovery::ScaleDiscovery(DiscoveryOptions options) : m_options(std::move(options)) {}

ScaleDiscovery::~ScaleDiscovery() {
    stop();
}

void ScaleDiscovery::setOptions(const DiscoveryOptions& options) {
    std::lock_guard lock(m_mutex);
    m_options = options;
}

void ScaleDiscovery::setComPorts(const QStringList& comPortList) {
    std::lock_guard lock(m_mutex);
    m_options.comPorts = comPortList;
}

DiscoveryOptions ScaleDiscovery::options() const {
    std::lock_guard lock(m_mutex);
    return m_options;
}

void ScaleDiscovery::start() {
    if (m_thread && m_thread->isRunning())
        return;
    m_stop = false;
    m_thread = std::make_unique<TScalesThread>(*this);
    m_thread->start();
}

void ScaleDiscovery::stop() {
    if (!m_thread)
        return;
    m_stop = true;
    m_thread->wait();
    m_thread.reset();
}

bool ScaleDiscovery::isRunning() const {
    return m_thread && m_thread->isRunning();
}

FoundScales ScaleDiscovery::snapshot() const {
    std::lock_guard lock(m_mutex);
    return m_found;
}

void ScaleDiscovery::execute() {
    const auto stop = [this] { return stopRequested(); };
    while (!stopRequested()) {
        QThread::msleep(1);
        if (!m_enabled)
            continue;
        ++m_started;
        const DiscoveryOptions o = options();
        QDeadlineTimer least(o.listenMs);
        FoundScales pass = runDiscoveryPass(o, stop);
        if (stopRequested())
            return;
        if (m_enabled) {
            std::lock_guard lock(m_mutex);
            m_found = std::move(pass);
        }
        m_done = true;
        ++m_ended;
        // A pass with nothing to listen on or probe takes no time; without a pause the
        // thread would spin through passes as fast as it can.
        while (!least.hasExpired() && !stopRequested())
            QThread::msleep(quint32(qBound<qint64>(qint64(1), least.remainingTime(), qint64(20))));
    }
}

ScaleDiscovery& scaleDiscovery() {
    static ScaleDiscovery instance;
    return instance;
}

void StartDiscovery() {
    scaleDiscovery().start();
}
void StopDiscovery() {
    scaleDiscovery().stop();
}
bool DiscoveryDone() {
    return scaleDiscovery().isDone();
}
bool DiscoveryEnabled() {
    return scaleDiscovery().isEnabled();
}
void SetDiscoveryEnabled(bool enabled) {
    scaleDiscovery().setEnabled(enabled);
}
FoundScales FoundScalesSnapshot() {
    return scaleDiscovery().snapshot();
}

} // namespace dm
