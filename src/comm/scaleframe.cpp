#include "comm/scaleframe.h"

#include <stdexcept>

namespace dm {

namespace {

quint16 le16(QByteArrayView b, qsizetype at) {
    return quint16(quint8(b[at]) | (quint8(b[at + 1]) << 8));
}

void putLe16(QByteArray& b, qsizetype at, quint16 v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}

// Remainder of h * x^16 by the polynomial, bit by bit.
quint16 crcTableEntry(quint8 h) {
    quint16 c = quint16(h << 8);
    quint16 r = 0;
    for (int i = 0; i < 8; ++i) {
        if ((c ^ r) & 0x8000)
            r = quint16((r << 1) ^ 0x1021);
        else
            r = quint16(r << 1);
        c = quint16(c << 1);
    }
    return r;
}

struct CrcTable {
    quint16 entry[256];
    CrcTable() {
        for (int h = 0; h < 256; ++h)
            entry[h] = crcTableEntry(quint8(h));
    }
};

} // namespace

QByteArray fileNameOfKind(quint8 kind) {
    switch (FileKind(kind)) {
    case FileKind::Goods:
        return QByteArrayLiteral("products.dat");
    case FileKind::Keypad:
        return QByteArrayLiteral("keyboard.dat");
    case FileKind::Totals:
        return QByteArrayLiteral("Totals.dat");
    case FileKind::Ticket:
        return QByteArrayLiteral("RVT.dat");
    case FileKind::Operators:
        return QByteArrayLiteral("Salesmen.dat");
    }
    return {};
}

quint16 ComputeScaleCrc(const quint8* data, qsizetype count, quint16 initial) {
    static const CrcTable table;
    quint16 crc = initial;
    for (qsizetype i = 0; i < count; ++i)
        crc = quint16(table.entry[crc >> 8] ^ quint16(crc << 8) ^ data[i]);
    return crc;
}

quint16 ComputeScaleCrc(QByteArrayView data, quint16 initial) {
    return ComputeScaleCrc(reinterpret_cast<const quint8*>(data.data()), data.size(), initial);
}

QByteArray EncodeFrame(int command, QByteArrayView payload) {
    if (command < 0 || command > 255)
        throw std::invalid_argument("frame command out of range");
    if (payload.size() > frame::MaxPayload)
        throw std::invalid_argument("frame payload longer than 16384 bytes");
    const qsizetype n = payload.size();
    QByteArray f(n + frame::Overhead, '\0');
    f[0] = char(frame::Preamble[0]);
    f[1] = char(frame::Preamble[1]);
    f[2] = char(frame::Preamble[2]);
    putLe16(f, 3, quint16(n + 1));
    f[5] = char(command);
    if (n > 0)
        memcpy(f.data() + 6, payload.data(), size_t(n));
    putLe16(f, n + 6, ComputeScaleCrc(QByteArrayView(f).sliced(5, n + 1)));
    return f;
}

QByteArray identifyRequest() {
    return EncodeFrame(ScaleCommand::Identify);
}

QByteArray blockPayload(quint8 kind, quint16 total, quint16 number, QByteArrayView data) {
    if (data.isEmpty() || data.size() > frame::MaxBlockData)
        throw std::invalid_argument("file block needs 1 to 1024 data bytes");
    QByteArray p(frame::BlockHeaderSize, '\0');
    p[0] = char(kind);
    putLe16(p, 1, total);
    putLe16(p, 3, number);
    putLe16(p, 5, quint16(data.size()));
    p.append(data);
    return p;
}

QByteArray readRequestPayload(quint8 kind, quint16 number) {
    QByteArray p(5, '\0');
    p[0] = char(kind);
    putLe16(p, 3, number);
    return p;
}

std::optional<quint8> replyCode(QByteArrayView reply) {
    if (reply.size() <= frame::ReplyCodeOffset)
        return std::nullopt;
    return quint8(reply[frame::ReplyCodeOffset]);
}

std::optional<BlockReply> parseBlockReply(QByteArrayView reply, BlockReplyError* error) {
    auto fail = [&](BlockReplyError e) -> std::optional<BlockReply> {
        if (error)
            *error = e;
        return std::nullopt;
    };
    if (reply.size() < frame::BlockDataOffset)
        return fail(BlockReplyError::TooShortForHeader);
    BlockReply r;
    r.total = le16(reply, 7);
    r.count = le16(reply, 11);
    if (reply.size() - frame::BlockDataOffset < r.count)
        return fail(BlockReplyError::TooShortForData);
    r.data = reply.sliced(frame::BlockDataOffset, r.count);
    if (error)
        *error = BlockReplyError::None;
    return r;
}

std::optional<quint8> identifyMode(QByteArrayView answer) {
    if (answer.size() != frame::IdentifyReplySize)
        return std::nullopt;
    return quint8(answer[frame::IdentifyModeOffset]);
}

bool beginsLikeFrame(QByteArrayView bytes) {
    const qsizetype n = qMin<qsizetype>(bytes.size(), 3);
    for (qsizetype i = 0; i < n; ++i)
        if (quint8(bytes[i]) != frame::Preamble[i])
            return false;
    return true;
}

std::optional<qsizetype> announcedFrameSize(QByteArrayView bytes) {
    if (bytes.size() < frame::HeaderSize || !beginsLikeFrame(bytes))
        return std::nullopt;
    // The length counts command and payload; a zero length still has its CRC.
    return qsizetype(le16(bytes, 3)) + 7;
}

std::optional<DecodedFrame> decodeFrame(QByteArrayView bytes) {
    const auto size = announcedFrameSize(bytes);
    if (!size || *size != bytes.size() || le16(bytes, 3) == 0)
        return std::nullopt;
    const qsizetype n = le16(bytes, 3) - 1;
    DecodedFrame f;
    f.command = quint8(bytes[5]);
    f.payload = bytes.sliced(6, n).toByteArray();
    f.crcOk = ComputeScaleCrc(bytes.sliced(5, n + 1)) == le16(bytes, n + 6);
    return f;
}

std::optional<FileBlock> parseBlockPayload(QByteArrayView payload) {
    if (payload.size() < frame::BlockHeaderSize)
        return std::nullopt;
    FileBlock b;
    b.kind = quint8(payload[0]);
    b.total = le16(payload, 1);
    b.number = le16(payload, 3);
    const quint16 count = le16(payload, 5);
    if (payload.size() - frame::BlockHeaderSize < count)
        return std::nullopt;
    b.data = payload.sliced(frame::BlockHeaderSize, count).toByteArray();
    return b;
}

std::optional<ReadRequest> parseReadRequest(QByteArrayView payload) {
    if (payload.size() < 5)
        return std::nullopt;
    return ReadRequest{quint8(payload[0]), le16(payload, 3)};
}

} // namespace dm
