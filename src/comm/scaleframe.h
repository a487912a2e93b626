#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace dm {

// The frame every message to or from a scale travels in:
// F8 55 CE, length (command + payload, LE16), command, payload, CRC-16 (LE) of
// command and payload.
namespace frame {
constexpr quint8 Preamble[3] = {0xF8, 0x55, 0xCE};
constexpr qsizetype HeaderSize = 5; // preamble and length field
constexpr qsizetype Overhead = 8;   // header, command byte, CRC
constexpr qsizetype MaxPayload = 16384;
constexpr qsizetype MaxBlockData = 1024;
constexpr qsizetype BlockHeaderSize = 7; // kind, total, number, count
constexpr qsizetype IdentifyReplySize = 34;
constexpr qsizetype IdentifyModeOffset = 16;
constexpr qsizetype ReplyCodeOffset = 5;
constexpr qsizetype BlockDataOffset = 13; // data of a ReadBlock reply, counted from the frame start
} // namespace frame

enum class ScaleCommand : quint8 {
    Identify = 0x00,
    OpenExchange = 0x80,
    WriteBlock = 0x82,
    ReadBlock = 0x85,
};

// Reply codes at byte 5 of a reply; any other value is a normal reply.
enum class ReplyCode : quint8 {
    Stop = 0x43,       // "C": the scale ends a goods upload
    FileAbsent = 0x46, // "F": the scale has no such file
};

enum class FileKind : quint8 {
    Goods = 1,
    Keypad = 6,
    Totals = 7,
    Ticket = 10,
    Operators = 11,
};

// The scale file name that belongs to a kind ("products.dat", ...); empty for an
// unknown kind.
QByteArray fileNameOfKind(quint8 kind);

// CRC-16 in the scales' register form (polynomial 0x1021, initial value as given, no
// augmentation): each byte enters the low end of the register, so "123456789" gives
// 0xBEEF. This is not the table-driven XMODEM value.
quint16 ComputeScaleCrc(const quint8* data, qsizetype count, quint16 initial = 0);
quint16 ComputeScaleCrc(QByteArrayView data, quint16 initial = 0);

// Builds the frame for a command (0..255) and its payload. A command above 255 or a
// payload of more than 16 384 bytes is refused with std::invalid_argument: no caller
// should ever get there, so it is a programming error, not a link error.
QByteArray EncodeFrame(int command, QByteArrayView payload = {});
inline QByteArray EncodeFrame(ScaleCommand command, QByteArrayView payload = {}) {
    return EncodeFrame(int(command), payload);
}

// The fixed 8-byte Identify request F8 55 CE 01 00 00 00 00.
QByteArray identifyRequest();

// Payload of one WriteBlock: kind, total, number (from 1), count and 1..1024 data bytes.
// Refuses an empty or oversized data part with std::invalid_argument.
QByteArray blockPayload(quint8 kind, quint16 total, quint16 number, QByteArrayView data);
// Payload of one ReadBlock: kind, 0, 0, block number (from 1).
QByteArray readRequestPayload(quint8 kind, quint16 number);

// --- Reading replies. Nothing in a reply is trusted beyond its length: every accessor
// checks that the bytes it reads are there.

// Byte 5 of a reply; none when fewer than 6 bytes came.
std::optional<quint8> replyCode(QByteArrayView reply);
inline bool isReplyCode(QByteArrayView reply, ReplyCode code) {
    const auto c = replyCode(reply);
    return c && *c == quint8(code);
}

// One block of a ReadBlock reply: the total at bytes 7-8, the count at 11-12 and the
// data from byte 13. The data view points into the reply.
struct BlockReply {
    quint16 total = 0;
    quint16 count = 0;
    QByteArrayView data;
};
enum class BlockReplyError { None, TooShortForHeader, TooShortForData };
// None when the reply is shorter than its header (13 bytes) or than the count it gives.
std::optional<BlockReply> parseBlockReply(QByteArrayView reply, BlockReplyError* error = nullptr);

// The mode code of a discovery answer: byte 16 of an answer exactly 34 bytes long;
// any other length is not a scale.
std::optional<quint8> identifyMode(QByteArrayView answer);

// --- Reading frames as a scale does (and as the link uses to know when a reply is
// whole).

// The size of the whole frame that the bytes begin with, from the preamble and the
// length field; none while fewer than 5 bytes are there or they do not begin with the
// preamble.
std::optional<qsizetype> announcedFrameSize(QByteArrayView bytes);
// True when the bytes could still become a frame: a (possibly partial) preamble.
bool beginsLikeFrame(QByteArrayView bytes);

struct DecodedFrame {
    quint8 command = 0;
    QByteArray payload;
    bool crcOk = false;
};
// Decodes one whole frame; none when the bytes are not exactly one frame (preamble,
// a length field of at least 1 that matches the size). A wrong CRC is reported, not
// refused.
std::optional<DecodedFrame> decodeFrame(QByteArrayView bytes);

struct FileBlock {
    quint8 kind = 0;
    quint16 total = 0;
    quint16 number = 0;
    QByteArray data;
};
// A WriteBlock payload; none when shorter than 7 bytes or than the count it gives.
std::optional<FileBlock> parseBlockPayload(QByteArrayView payload);

struct ReadRequest {
    quint8 kind = 0;
    quint16 number = 0;
};
// A ReadBlock payload; none when shorter than 5 bytes.
std::optional<ReadRequest> parseReadRequest(QByteArrayView payload);

} // namespace dm
