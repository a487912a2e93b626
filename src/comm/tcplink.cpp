#include "comm/tcplink.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QTimer>

namespace dm {

namespace {
// What the socket keeps of unread bytes: beyond it the peer is held back by TCP itself,
// so a scale that floods the link cannot fill the memory.
constexpr qint64 ReadBufferBytes = 64 * 1024;
} // namespace

TcpLink::TcpLink(ScaleAddress address, LinkTimings timings, quint16 port)
    : ScaleLink(std::move(address), timings), m_port(port) {}

TcpLink::~TcpLink() {
    close();
}

bool TcpLink::open() {
    if (inIdle()) {
        setError(QStringLiteral("the link is busy"));
        return false;
    }
    close();
    m_socket = std::make_unique<QTcpSocket>();
    m_socket->setReadBufferSize(ReadBufferBytes);
    // The connect runs in the thread's event loop, woken every slice for the idle hook:
    // a timed-out waitForConnected would give the connection up.
    const QDeadlineTimer limit(timings().connectMs);
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(IdleSliceMs);
    QObject::connect(m_socket.get(), &QAbstractSocket::connected, &loop, &QEventLoop::quit);
    QObject::connect(m_socket.get(), &QAbstractSocket::errorOccurred, &loop, &QEventLoop::quit);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (limit.hasExpired())
            loop.quit();
        else
            idle();
    });
    m_socket->connectToHost(address().text, m_port);
    const auto pending = [&] {
        const auto state = m_socket->state();
        return state == QAbstractSocket::HostLookupState ||
               state == QAbstractSocket::ConnectingState;
    };
    if (pending()) {
        tick.start();
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        tick.stop();
    }
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        setError(pending() ? QStringLiteral("Socket operation timed out")
                           : m_socket->errorString());
        m_socket->abort();
        m_socket.reset();
        return false;
    }
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

void TcpLink::close() {
    if (!m_socket)
        return;
    if (m_socket->state() == QAbstractSocket::ConnectedState) {
        m_socket->disconnectFromHost();
        if (m_socket->state() != QAbstractSocket::UnconnectedState)
            m_socket->waitForDisconnected(timings().gapMs);
    }
    m_socket->abort();
    m_socket.reset();
}

bool TcpLink::isOpen() const {
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

QIODevice* TcpLink::device() const {
    return m_socket.get();
}

bool TcpLink::writeBytes(QByteArrayView bytes) {
    if (!isOpen())
        return false;
    if (m_socket->write(bytes.data(), bytes.size()) != bytes.size())
        return false;
    // Push the bytes out now: nothing runs an event loop for this socket. A peer that
    // takes nothing in gets as long as a reply would.
    const QDeadlineTimer limit(timings().firstByteMs);
    while (m_socket->bytesToWrite() > 0) {
        if (!isOpen() || limit.hasExpired())
            return false;
        if (!m_socket->waitForBytesWritten(idleSlice(limit)))
            idle();
    }
    return true;
}

bool TcpLink::connectionAlive() const {
    return isOpen();
}

} // namespace dm
