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

bool ScaleLink::write(QByteArrayView bytes) {
    QIODevice* dev = device();
    if (!dev)
        return false;
    // Also what the system holds but the device has not taken in yet.
    do
        dev->readAll();
    while (dev->waitForReadyRead(0));
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
    if (!dev)
        return got;
    const qsizetype cap = maxReplyBytes();
    bool frameRule = stopsAtFrameEnd();
    // How many more bytes to take now: up to the end of the announced frame, or up to
    // the header while it is not known yet, or what the cap leaves.
    auto wanted = [&]() -> qsizetype {
        qsizetype room = cap > 0 ? cap - got.size() : qsizetype(1) << 30;
        if (frameRule) {
            if (!beginsLikeFrame(got)) {
                frameRule = false; // not a frame: taken as it comes, by the gap rule
            } else if (const auto size = announcedFrameSize(got)) {
                room = qMin(room, *size - got.size());
            } else {
                room = qMin(room, frame::HeaderSize - got.size());
            }
        }
        return room;
    };
    auto take = [&] {
        qsizetype n;
        while ((n = wanted()) > 0 && dev->bytesAvailable() > 0)
            got.append(dev->read(n));
    };
    auto complete = [&] {
        if (cap > 0 && got.size() >= cap)
            return true;
        if (!frameRule)
            return false;
        const auto size = announcedFrameSize(got);
        return size && got.size() >= *size;
    };

    QDeadlineTimer first(firstByteMs);
    take();
    while (got.isEmpty()) {
        if (first.hasExpired() || !connectionAlive() || (m_cancel && m_cancel()))
            return got;
        dev->waitForReadyRead(int(qMax<qint64>(1, qMin<qint64>(first.remainingTime(), 50))));
        take();
    }
    while (!complete()) {
        if (dev->bytesAvailable() == 0) {
            if (!connectionAlive() || !dev->waitForReadyRead(m_timings.gapMs))
                break;
        }
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
