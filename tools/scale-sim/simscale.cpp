#include "simscale.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace dm::sim {

namespace {

QString commandName(quint8 c) {
    switch (ScaleCommand(c)) {
    case ScaleCommand::Identify:
        return QStringLiteral("Identify");
    case ScaleCommand::OpenExchange:
        return QStringLiteral("OpenExchange");
    case ScaleCommand::WriteBlock:
        return QStringLiteral("WriteBlock");
    case ScaleCommand::ReadBlock:
        return QStringLiteral("ReadBlock");
    }
    return QStringLiteral("command 0x%1").arg(c, 2, 16, QLatin1Char('0'));
}

QString kindText(quint8 kind) {
    const QByteArray name = fileNameOfKind(kind);
    return QStringLiteral("kind %1 (%2)")
        .arg(kind)
        .arg(name.isEmpty() ? QStringLiteral("unknown") : QString::fromLatin1(name));
}

QByteArray replyFrame(quint8 code, QByteArrayView payload = {}) {
    return EncodeFrame(code, payload);
}

QByteArray withFault(QByteArray reply, Fault fault) {
    switch (fault) {
    case Fault::Short:
        return reply.left(5);
    case Fault::Length:
        if (reply.size() >= 5) {
            const quint16 len = quint16((quint8(reply[3]) | (quint8(reply[4]) << 8)) + 1);
            reply[3] = char(len & 0xFF);
            reply[4] = char(len >> 8);
        }
        return reply;
    case Fault::Crc:
        if (!reply.isEmpty())
            reply[reply.size() - 1] = char(reply[reply.size() - 1] ^ 0x5A);
        return reply;
    default:
        return reply;
    }
}

} // namespace

std::optional<Fault> faultFromName(const QString& name) {
    static const std::pair<const char*, Fault> names[] = {
        {"none", Fault::None}, {"short", Fault::Short}, {"silent", Fault::Silent},
        {"late", Fault::Late}, {"drop", Fault::Drop},   {"length", Fault::Length},
        {"crc", Fault::Crc},   {"split", Fault::Split},
    };
    for (const auto& [n, f] : names)
        if (name == QLatin1String(n))
            return f;
    return std::nullopt;
}

QString describeFrame(const DecodedFrame& f) {
    QString text = commandName(f.command);
    if (f.command == quint8(ScaleCommand::WriteBlock)) {
        if (const auto b = parseBlockPayload(f.payload))
            text += QStringLiteral(" %1 block %2/%3 count %4")
                        .arg(kindText(b->kind))
                        .arg(b->number)
                        .arg(b->total)
                        .arg(b->data.size());
        else
            text += QStringLiteral(" malformed block");
    } else if (f.command == quint8(ScaleCommand::ReadBlock)) {
        if (const auto r = parseReadRequest(f.payload))
            text += QStringLiteral(" %1 block %2").arg(kindText(r->kind)).arg(r->number);
        else
            text += QStringLiteral(" malformed request");
    } else if (!f.payload.isEmpty()) {
        text += QStringLiteral(" payload %1 bytes").arg(f.payload.size());
    }
    text += f.crcOk ? QStringLiteral(", crc ok") : QStringLiteral(", crc WRONG");
    return text;
}

std::optional<DecodedFrame> FrameStream::next() {
    for (;;) {
        if (m_buffer.isEmpty())
            return std::nullopt;
        if (!beginsLikeFrame(m_buffer)) {
            // Resynchronise on the next possible preamble.
            qsizetype at = m_buffer.indexOf(char(frame::Preamble[0]), 1);
            if (at < 0)
                at = m_buffer.size();
            m_skipped += at;
            m_buffer.remove(0, at);
            continue;
        }
        const auto size = announcedFrameSize(m_buffer);
        if (!size || m_buffer.size() < *size)
            return std::nullopt;
        auto f = decodeFrame(QByteArrayView(m_buffer).first(*size));
        if (!f) { // a length field of 0: not a frame
            m_skipped += 1;
            m_buffer.remove(0, 1);
            continue;
        }
        m_buffer.remove(0, *size);
        return f;
    }
}

QByteArray SimScale::identifyAnswer() const {
    // A frame of 34 bytes: F8 55 CE, length 27, command 0, and a payload that carries
    // the mode at frame offset 16.
    QByteArray payload("SCALE-SIM\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 26);
    payload[int(frame::IdentifyModeOffset - 6)] = char(m_config.mode);
    QByteArray a = EncodeFrame(ScaleCommand::Identify, payload);
    if (m_config.identifySize >= 0)
        a.resize(m_config.identifySize, '\0');
    return a;
}

QString SimScale::filePath(quint8 kind) const {
    const QString name = QString::fromLatin1(fileNameOfKind(kind));
    if (name.isEmpty())
        return {};
    // Files the operator put there by hand may differ in case.
    const QDir dir(m_config.folder);
    const auto entries = dir.entryList(QDir::Files);
    for (const QString& e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(e);
    return dir.filePath(name);
}

QByteArray SimScale::writeBlock(const QByteArray& payload) {
    const auto b = parseBlockPayload(payload);
    if (!b)
        return replyFrame(quint8(ScaleCommand::WriteBlock));
    if (b->kind == quint8(FileKind::Goods) && m_config.stopAtBlock > 0 &&
        b->number >= m_config.stopAtBlock)
        return replyFrame(quint8(ReplyCode::Stop));
    const QString path = filePath(b->kind);
    if (!path.isEmpty() && b->number >= 1) {
        QDir().mkpath(m_config.folder);
        QFile f(path);
        // Block 1 starts the file anew; each block lands at its own place.
        const auto mode =
            b->number == 1 ? QIODevice::WriteOnly | QIODevice::Truncate : QIODevice::ReadWrite;
        if (f.open(mode) && f.seek(qint64(b->number - 1) * frame::MaxBlockData)) {
            f.write(b->data);
            if (b->number == b->total)
                f.resize(f.pos());
        }
    }
    return replyFrame(quint8(ScaleCommand::WriteBlock));
}

QByteArray SimScale::readBlock(const QByteArray& payload) {
    const auto r = parseReadRequest(payload);
    const QString path = r ? filePath(r->kind) : QString();
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly))
        return replyFrame(quint8(ReplyCode::FileAbsent));
    const qint64 size = f.size();
    const qint64 total = qMin<qint64>(qMax<qint64>(1, (size + 1023) / 1024), 65535);
    if (r->number < 1 || r->number > total)
        return replyFrame(quint8(ReplyCode::FileAbsent));
    f.seek(qint64(r->number - 1) * frame::MaxBlockData);
    const QByteArray data = f.read(frame::MaxBlockData);
    QByteArray p(7, '\0');
    p[0] = char(r->kind);
    p[1] = char(total & 0xFF);
    p[2] = char(total >> 8);
    p[3] = char(r->number & 0xFF);
    p[4] = char(r->number >> 8);
    p[5] = char(data.size() & 0xFF);
    p[6] = char(data.size() >> 8);
    p.append(data);
    return replyFrame(quint8(ScaleCommand::ReadBlock), p);
}

QByteArray SimScale::answer(const DecodedFrame& f) {
    switch (ScaleCommand(f.command)) {
    case ScaleCommand::Identify:
        return identifyAnswer();
    case ScaleCommand::OpenExchange:
        return replyFrame(quint8(ScaleCommand::OpenExchange));
    case ScaleCommand::WriteBlock:
        return writeBlock(f.payload);
    case ScaleCommand::ReadBlock:
        return readBlock(f.payload);
    }
    return replyFrame(f.command);
}

SimAction SimScale::handle(const DecodedFrame& f, int frameNumber) {
    SimAction a;
    a.reply = answer(f);
    if (ScaleCommand(f.command) == ScaleCommand::Identify)
        a.delayMs = m_config.identifyDelayMs;
    const bool faulty = m_config.faultAt == 0 || m_config.faultAt == frameNumber;
    if (!faulty || m_config.fault == Fault::None)
        return a;
    switch (m_config.fault) {
    case Fault::Silent:
        a.reply.clear();
        break;
    case Fault::Late:
        a.delayMs = m_config.lateMs;
        break;
    case Fault::Drop:
        a.reply.clear();
        a.drop = true;
        break;
    case Fault::Split:
        a.splitAt = a.reply.size() / 2;
        break;
    default:
        a.reply = withFault(a.reply, m_config.fault);
    }
    return a;
}

} // namespace dm::sim
