#include "comm/seriallink.h"

#include "platform/serialports.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace dm {

namespace {

// The one serial port of the process: who holds it, and from which thread.
class SerialSlot {
public:
    // Takes the slot for a link. A holder in the same thread is closed (one port at a
    // time); a holder in another thread is waited for (with the idle hook called every
    // slice), or refused without waiting.
    bool acquire(SerialLink* who, bool wait, const std::function<void()>& idle) {
        std::unique_lock lock(m_mutex);
        for (;;) {
            if (!m_holder || m_holder == who)
                break;
            if (m_thread == std::this_thread::get_id()) {
                SerialLink* previous = m_holder;
                lock.unlock();
                previous->close(); // releases the slot
                lock.lock();
                continue;
            }
            if (!wait)
                return false;
            if (!m_free.wait_for(lock, std::chrono::milliseconds(ScaleLink::IdleSliceMs),
                                 [&] { return m_holder == nullptr; })) {
                lock.unlock();
                idle();
                lock.lock();
            }
        }
        m_holder = who;
        m_thread = std::this_thread::get_id();
        return true;
    }
    void release(SerialLink* who) {
        {
            std::lock_guard lock(m_mutex);
            if (m_holder != who)
                return;
            m_holder = nullptr;
        }
        m_free.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_free;
    SerialLink* m_holder = nullptr;
    std::thread::id m_thread;
};

SerialSlot& serialSlot() {
    static SerialSlot slot;
    return slot;
}

ScaleAddress comAddress(int portNumber) {
    ScaleAddress a;
    a.kind = ScaleAddress::Kind::Serial;
    a.text = QStringLiteral("COM") + QString::number(portNumber);
    a.serialPort = portNumber;
    return a;
}

} // namespace

SerialLink::SerialLink(ScaleAddress address, LinkTimings timings)
    : ScaleLink(std::move(address), timings) {}

SerialLink::SerialLink(int portNumber, LinkTimings timings)
    : ScaleLink(comAddress(portNumber), timings) {}

SerialLink::~SerialLink() {
    close();
}

bool SerialLink::open() {
    return openPort(true);
}

bool SerialLink::tryOpen() {
    return openPort(false);
}

bool SerialLink::openPort(bool wait) {
    if (inIdle()) {
        setError(QStringLiteral("the link is busy"));
        return false;
    }
    close();
    const int n = address().serialPort;
    const QString path = activeSerialPortMap().devicePath(n);
    if (n < 1 || n > SerialPortMap::PortCount || path.isEmpty()) {
        setError(QStringLiteral("no device for ") + address().text);
        return false;
    }
    if (!serialSlot().acquire(this, wait, [this] { idle(); })) {
        setError(QStringLiteral("serial port in use"));
        return false;
    }
    m_holdsSlot = true;
    m_port = std::make_unique<QSerialPort>();
    m_port->setPortName(path);
    if (!m_port->open(QIODevice::ReadWrite) || !setUp()) {
        setError(m_port->errorString());
        close();
        return false;
    }
    return true;
}

bool SerialLink::setUp() {
    QSerialPort& p = *m_port;
    const bool lineOk = p.setBaudRate(BaudRate) && p.setDataBits(QSerialPort::Data8) &&
                        p.setParity(QSerialPort::NoParity) && p.setStopBits(QSerialPort::OneStop) &&
                        p.setFlowControl(QSerialPort::NoFlowControl);
    if (!lineOk)
        return false;
    // Modem lines: a pseudo-terminal has none, and a port without them still carries
    // bytes, so their failure does not fail the open.
    p.setDataTerminalReady(true);
    p.setRequestToSend(false);
    p.clearError();
    p.clear();
    return true;
}

void SerialLink::close() {
    if (m_port) {
        if (m_port->isOpen())
            m_port->close();
        m_port.reset();
    }
    if (m_holdsSlot) {
        m_holdsSlot = false;
        serialSlot().release(this);
    }
}

bool SerialLink::isOpen() const {
    return m_port && m_port->isOpen();
}

QIODevice* SerialLink::device() const {
    return isOpen() ? m_port.get() : nullptr;
}

bool SerialLink::writeBytes(QByteArrayView bytes) {
    if (!isOpen())
        return false;
    m_port->clear(QSerialPort::Input);
    // RTS toggle: raised while the bytes go out, dropped once they are sent.
    m_port->setRequestToSend(true);
    bool ok = m_port->write(bytes.data(), bytes.size()) == bytes.size();
    const int limit = int(2 * bytes.size() + 2) + 1000;
    while (ok && m_port->bytesToWrite() > 0)
        ok = m_port->waitForBytesWritten(limit);
    if (ok)
        ok = waitSerialOutputSent(m_port->handle(), int(2 * bytes.size() + 2));
    m_port->setRequestToSend(false);
    m_port->clearError();
    return ok;
}

} // namespace dm
