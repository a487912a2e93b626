#include "comm/tcplink.h"

#include <QHostAddress>

namespace dm {

TcpLink::TcpLink(ScaleAddress address, LinkTimings timings, quint16 port)
    : ScaleLink(std::move(address), timings), m_port(port) {}

TcpLink::~TcpLink() {
    close();
}

bool TcpLink::open() {
    close();
    m_socket = std::make_unique<QTcpSocket>();
    m_socket->connectToHost(address().text, m_port);
    if (!m_socket->waitForConnected(timings().connectMs)) {
        setError(m_socket->errorString());
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
    // Push the bytes out now: nothing runs an event loop for this socket.
    while (m_socket->bytesToWrite() > 0)
        if (!m_socket->waitForBytesWritten(timings().firstByteMs))
            return false;
    return true;
}

bool TcpLink::connectionAlive() const {
    return isOpen();
}

} // namespace dm
