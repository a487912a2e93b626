#include "comm/scalelink.h"

#include "app/errors.h"
#include "app/langtext.h"
#include "comm/seriallink.h"
#include "comm/tcplink.h"

#include <QDeadlineTimer>
#include <QIODevice>

namespace dm {

ScaleAddress ScaleAddress::parse(const QString& address) {
    ScaleAddress a;
    a.text = address;
    if (!address.startsWith(u'C'))
        return a;
    a.kind = Kind::Serial;
    const QChar digit = address.size() >= 4 ? address[3] : QChar();
    if (digit < u'1' || digit > u'9')
        throw LinkError(LangText(u"Text", u"ConnectionFailed", u"Connection failed to scales") +
                        QStringLiteral(" (") + address + u')');
    a.serialPort = digit.unicode() - u'0';
    return a;
}

ScaleLink::ScaleLink(ScaleAddress address, LinkTimings timings)
    : m_address(std::move(address)), m_timings(timings) {}

ScaleLink::~ScaleLink() = default;

void ScaleLink::idle() {
    if (!m_idle || m_inIdle)
        return;
    m_inIdle = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_inIdle};
    m_idle();
}

int ScaleLink::idleSlice(const QDeadlineTimer& until) {
    const qint64 left = until.remainingTime();
    if (left < 0) // no deadline
        return IdleSliceMs;
    return int(qBound<qint64>(1, left, qint64(IdleSliceMs)));
}

bool ScaleLink::write(QByteArrayView bytes) {
    QIODevice* dev = device();
    if (!dev || m_inIdle)
        return false;
    // Also what the system holds but the device has not taken in yet; a peer that never
    // stops sending gets no more than the gap time of it.
    const QDeadlineTimer drain(m_timings.gapMs);
    do
        dev->readAll();
    while (!drain.hasExpired() && dev->waitForReadyRead(0));
    return writeBytes(bytes);
}

bool ScaleLink::sendFrame(ScaleCommand command, QByteArrayView payload) {
    m_frame = EncodeFrame(command, payload);
    return write(m_frame);
}

bool ScaleLink::resendFrame() {
    return !m_frame.isEmpty() && write(m_frame);
}

QByteArray ScaleLink::read() {
    return read(m_timings.firstByteMs);
}

QByteArray ScaleLink::read(int firstByteMs) {
    QIODevice* dev = device();
    QByteArray got;
    if (!dev || m_inIdle)
        return got;
    bool frameRule = stopsAtFrameEnd();
    // How many more bytes to take now: up to the end of the announced frame (at most
    // the largest frame), up to the header while it is not known yet, or what the cap
    // of a reply that is no frame leaves.
    auto wanted = [&]() -> qsizetype {
        if (frameRule && !beginsLikeFrame(got))
            frameRule = false; // not a frame: taken as it comes, by the gap rule
        if (!frameRule)
            return MaxReplyBytes - got.size();
        if (const auto size = announcedFrameSize(got))
            return qMin(*size, MaxReplyFrame) - got.size();
        return frame::HeaderSize - got.size();
    };
    auto take = [&] {
        qsizetype n;
        while ((n = wanted()) > 0 && dev->bytesAvailable() > 0)
            got.append(dev->read(n));
    };

    const QDeadlineTimer first(firstByteMs);
    for (take(); got.isEmpty(); take()) {
        if (first.hasExpired() || !connectionAlive() || (m_cancel && m_cancel()))
            return got;
        if (!dev->waitForReadyRead(idleSlice(first)))
            idle();
    }
    const QDeadlineTimer rest(m_timings.restMs);
    while (wanted() > 0 && !rest.hasExpired()) {
        // The gap rule, waited for in slices so the idle hook runs.
        const QDeadlineTimer gap(rest.isForever()
                                     ? m_timings.gapMs
                                     : qMin<qint64>(m_timings.gapMs, rest.remainingTime()));
        while (dev->bytesAvailable() == 0 && !gap.hasExpired() && connectionAlive()) {
            if (!dev->waitForReadyRead(idleSlice(gap)))
                idle();
        }
        if (dev->bytesAvailable() == 0)
            break;
        take();
    }
    return got;
}

std::unique_ptr<ScaleLink> makeScaleLink(const QString& address, const LinkTimings& timings) {
    ScaleAddress a = ScaleAddress::parse(address);
    if (a.isSerial())
        return std::make_unique<SerialLink>(std::move(a), timings);
    return std::make_unique<TcpLink>(std::move(a), timings);
}

} // namespace dm
