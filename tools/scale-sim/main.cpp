// scale-sim: one simulated scale on TCP port 5001, UDP discovery and, if asked, a
// serial device. The options are listed by --help and in README.md.
#include "simscale.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QNetworkDatagram>
#include <QPointer>
#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>
#include <QTimer>
#include <QUdpSocket>

#include <cstdio>
#include <memory>

using namespace dm;
using namespace dm::sim;

namespace {

QTextStream& logStream() {
    static QTextStream s(stderr);
    return s;
}

void logLine(const SimConfig& c, const QString& where, const QString& text) {
    if (!c.log)
        return;
    logStream() << where << ' ' << text << Qt::endl;
}

QString replyText(const SimAction& a) {
    if (a.drop)
        return QStringLiteral("-> drop connection");
    if (a.reply.isEmpty())
        return QStringLiteral("-> no reply");
    QString t = QStringLiteral("-> reply %1 bytes").arg(a.reply.size());
    if (a.reply.size() > 5)
        t += QStringLiteral(", code 0x%1").arg(quint8(a.reply[5]), 2, 16, QLatin1Char('0'));
    if (a.delayMs > 0)
        t += QStringLiteral(" after %1 ms").arg(a.delayMs);
    return t;
}

// Feeds the bytes of one stream connection (TCP or serial) to the scale and writes
// back what it answers.
class StreamSession : public QObject {
public:
    StreamSession(SimScale& scale, QIODevice* device, QString where, QObject* parent)
        : QObject(parent), m_scale(scale), m_device(device), m_where(std::move(where)) {
        connect(device, &QIODevice::readyRead, this, &StreamSession::onReadyRead);
    }

private:
    void onReadyRead() {
        m_stream.append(m_device->readAll());
        while (auto f = m_stream.next()) {
            ++m_frames;
            const SimAction a = m_scale.handle(*f, m_frames);
            logLine(m_scale.config(), m_where,
                    QStringLiteral("<- %1 %2").arg(describeFrame(*f), replyText(a)));
            if (a.drop) {
                if (auto* s = qobject_cast<QTcpSocket*>(m_device.data()))
                    s->abort();
                return;
            }
            if (a.reply.isEmpty())
                continue;
            QPointer<QIODevice> dev = m_device;
            auto sendLater = [this, dev](int ms, const QByteArray& bytes) {
                QTimer::singleShot(ms, this, [dev, bytes] {
                    if (dev && dev->isOpen())
                        dev->write(bytes);
                });
            };
            if (a.splitAt > 0) {
                m_device->write(a.reply.left(a.splitAt));
                sendLater(m_scale.config().splitMs, a.reply.mid(a.splitAt));
            } else if (a.delayMs > 0) {
                sendLater(a.delayMs, a.reply);
            } else {
                m_device->write(a.reply);
            }
        }
    }

    SimScale& m_scale;
    QPointer<QIODevice> m_device;
    QString m_where;
    FrameStream m_stream;
    int m_frames = 0;
};

// Answers Identify datagrams: from the socket bound to the scale's own address, so the
// answer comes from that address even when several scales share a machine.
class UdpResponder : public QObject {
public:
    UdpResponder(SimScale& scale, QObject* parent) : QObject(parent), m_scale(scale) {}

    bool listen(const QHostAddress& address, quint16 port, QString* error) {
        const auto flags = QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint;
        const bool any = address == QHostAddress(QHostAddress::AnyIPv4);
        m_own = new QUdpSocket(this);
        if (!m_own->bind(address, port, flags)) {
            *error = m_own->errorString();
            return false;
        }
        connect(m_own, &QUdpSocket::readyRead, this, [this] { drain(m_own); });
        // Broadcasts reach only a socket bound to all addresses; loopback has none.
        if (!any && !address.isLoopback()) {
            m_broadcast = new QUdpSocket(this);
            if (!m_broadcast->bind(QHostAddress(QHostAddress::AnyIPv4), port, flags)) {
                *error = m_broadcast->errorString();
                return false;
            }
            connect(m_broadcast, &QUdpSocket::readyRead, this, [this] { drain(m_broadcast); });
        }
        return true;
    }

private:
    void drain(QUdpSocket* socket) {
        while (socket->hasPendingDatagrams()) {
            const QNetworkDatagram d = socket->receiveDatagram();
            const auto f = decodeFrame(d.data());
            if (!f || f->command != quint8(ScaleCommand::Identify))
                continue;
            const QByteArray answer = m_scale.identifyAnswer();
            const QHostAddress to = d.senderAddress();
            const quint16 port = quint16(d.senderPort());
            logLine(m_scale.config(), QStringLiteral("[udp %1:%2]").arg(to.toString()).arg(port),
                    QStringLiteral("<- %1 -> answer %2 bytes")
                        .arg(describeFrame(*f))
                        .arg(answer.size()));
            QPointer<QUdpSocket> own = m_own;
            auto send = [own, answer, to, port] {
                if (own)
                    own->writeDatagram(answer, to, port);
            };
            if (m_scale.config().identifyDelayMs > 0)
                QTimer::singleShot(m_scale.config().identifyDelayMs, this, send);
            else
                send();
        }
    }

    SimScale& m_scale;
    QUdpSocket* m_own = nullptr;
    QUdpSocket* m_broadcast = nullptr;
};

int intOption(const QCommandLineParser& p, const QString& name, int def, int lo, int hi) {
    if (!p.isSet(name))
        return def;
    bool ok = false;
    const int v = p.value(name).toInt(&ok);
    if (!ok || v < lo || v > hi) {
        QTextStream(stderr) << "scale-sim: --" << name << " needs a number from " << lo << " to "
                            << hi << "\n";
        std::exit(2);
    }
    return v;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("scale-sim"));

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Plays one scale for the data manager."));
    p.addHelpOption();
    p.addOptions({
        {QStringLiteral("address"),
         QStringLiteral("IPv4 address to serve TCP and UDP on (default 0.0.0.0)."),
         QStringLiteral("ip")},
        {QStringLiteral("port"), QStringLiteral("Port (default 5001)."), QStringLiteral("n")},
        {QStringLiteral("no-network"), QStringLiteral("Serve the serial device only.")},
        {QStringLiteral("serial"), QStringLiteral("Also serve this serial device."),
         QStringLiteral("path")},
        {QStringLiteral("mode"),
         QStringLiteral("Mode code, byte 16 of the Identify answer "
                        "(0..255, default 2)."),
         QStringLiteral("n")},
        {QStringLiteral("folder"),
         QStringLiteral("Folder of the scale's files (default: current folder)."),
         QStringLiteral("dir")},
        {QStringLiteral("identify-size"),
         QStringLiteral("Length of the Identify answer (default 34)."), QStringLiteral("n")},
        {QStringLiteral("identify-delay"), QStringLiteral("Wait before answering Identify (ms)."),
         QStringLiteral("ms")},
        {QStringLiteral("stop-at-block"),
         QStringLiteral("Answer \"C\" (stop) to goods block N and after."), QStringLiteral("n")},
        {QStringLiteral("fault"),
         QStringLiteral("Misbehave: short, silent, late, drop, length, crc or split."),
         QStringLiteral("kind")},
        {QStringLiteral("fault-at"),
         QStringLiteral("Only the Nth frame of a connection gets the fault (default: all)."),
         QStringLiteral("n")},
        {QStringLiteral("late-ms"), QStringLiteral("Delay of a late reply (default 6000)."),
         QStringLiteral("ms")},
        {QStringLiteral("split-ms"),
         QStringLiteral("Pause between the two parts of a split reply (default 50)."),
         QStringLiteral("ms")},
        {QStringLiteral("log"), QStringLiteral("Log every received frame to standard error.")},
    });
    p.process(app);

    SimConfig c;
    c.mode = quint8(intOption(p, QStringLiteral("mode"), 2, 0, 255));
    c.folder = QDir(p.isSet(QStringLiteral("folder")) ? p.value(QStringLiteral("folder"))
                                                      : QDir::currentPath())
                   .absolutePath();
    c.identifySize = intOption(p, QStringLiteral("identify-size"), 34, 0, 16384);
    c.identifyDelayMs = intOption(p, QStringLiteral("identify-delay"), 0, 0, 600000);
    c.stopAtBlock = intOption(p, QStringLiteral("stop-at-block"), 0, 0, 65535);
    c.faultAt = intOption(p, QStringLiteral("fault-at"), 0, 0, 1 << 30);
    c.lateMs = intOption(p, QStringLiteral("late-ms"), 6000, 0, 600000);
    c.splitMs = intOption(p, QStringLiteral("split-ms"), 50, 0, 600000);
    c.log = p.isSet(QStringLiteral("log"));
    if (p.isSet(QStringLiteral("fault"))) {
        const auto f = faultFromName(p.value(QStringLiteral("fault")));
        if (!f) {
            QTextStream(stderr) << "scale-sim: unknown fault " << p.value(QStringLiteral("fault"))
                                << "\n";
            return 2;
        }
        c.fault = *f;
    }
    const quint16 port = quint16(intOption(p, QStringLiteral("port"), 5001, 1, 65535));
    QHostAddress address(QHostAddress::AnyIPv4);
    if (p.isSet(QStringLiteral("address")) &&
        !address.setAddress(p.value(QStringLiteral("address")))) {
        QTextStream(stderr) << "scale-sim: bad address " << p.value(QStringLiteral("address"))
                            << "\n";
        return 2;
    }

    SimScale scale(c);
    QStringList ready;
    QString error;
    std::unique_ptr<QTcpServer> server;
    std::unique_ptr<UdpResponder> udp;
    if (!p.isSet(QStringLiteral("no-network"))) {
        server = std::make_unique<QTcpServer>();
        if (!server->listen(address, port)) {
            QTextStream(stderr) << "scale-sim: cannot listen on " << address.toString() << ':'
                                << port << ": " << server->errorString() << "\n";
            return 1;
        }
        QObject::connect(server.get(), &QTcpServer::newConnection, [&] {
            while (QTcpSocket* s = server->nextPendingConnection()) {
                const QString where = QStringLiteral("[tcp %1:%2]")
                                          .arg(s->peerAddress().toString())
                                          .arg(s->peerPort());
                logLine(c, where, QStringLiteral("connected"));
                auto* session = new StreamSession(scale, s, where, s);
                Q_UNUSED(session);
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
        udp = std::make_unique<UdpResponder>(scale, nullptr);
        if (!udp->listen(address, port, &error)) {
            QTextStream(stderr) << "scale-sim: cannot bind UDP " << address.toString() << ':'
                                << port << ": " << error << "\n";
            return 1;
        }
        ready << QStringLiteral("tcp %1:%2 udp").arg(address.toString()).arg(port);
    }
    std::unique_ptr<QSerialPort> serial;
    if (p.isSet(QStringLiteral("serial"))) {
        serial = std::make_unique<QSerialPort>();
        serial->setPortName(p.value(QStringLiteral("serial")));
        if (!serial->open(QIODevice::ReadWrite)) {
            QTextStream(stderr) << "scale-sim: cannot open " << serial->portName() << ": "
                                << serial->errorString() << "\n";
            return 1;
        }
        serial->setBaudRate(57600);
        serial->setDataBits(QSerialPort::Data8);
        serial->setParity(QSerialPort::NoParity);
        serial->setStopBits(QSerialPort::OneStop);
        serial->setFlowControl(QSerialPort::NoFlowControl);
        new StreamSession(scale, serial.get(),
                          QStringLiteral("[serial %1]").arg(serial->portName()), serial.get());
        ready << QStringLiteral("serial %1").arg(serial->portName());
    }
    if (ready.isEmpty()) {
        QTextStream(stderr) << "scale-sim: nothing to serve (--no-network without --serial)\n";
        return 2;
    }
    // The tests (and scripts) wait for this line before they talk to the scale.
    QTextStream(stdout) << "scale-sim ready: " << ready.join(QStringLiteral(", ")) << Qt::endl;
    return app.exec();
}
