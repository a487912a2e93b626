#pragma once

#include "comm/scaleframe.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace dm::sim {

// Ways the simulated scale can misbehave when it answers a frame.
enum class Fault {
    None,
    Short,  // only the first 5 bytes of the reply
    Silent, // no reply at all
    Late,   // the reply after lateMs
    Drop,   // the connection is closed instead of a reply
    Length, // a reply whose length field is one too large
    Crc,    // a reply with a wrong CRC
    Split,  // the reply in two parts, splitMs apart
};
std::optional<Fault> faultFromName(const QString& name);

struct SimConfig {
    quint8 mode = 2;         // byte 16 of the Identify answer
    QString folder;          // where received files go and served files come from
    int identifySize = 34;   // length of the Identify answer (34 for a real scale)
    int identifyDelayMs = 0; // wait before answering Identify
    int stopAtBlock = 0;     // answer "C" to this goods block (0: never)
    Fault fault = Fault::None;
    int faultAt = 0; // the frame (from 1, per connection) that gets the fault; 0: all
    int lateMs = 6000;
    int splitMs = 50;
    bool log = false;
};

// What to do with one received frame.
struct SimAction {
    QByteArray reply; // empty: no reply
    int delayMs = 0;
    bool drop = false;
    qsizetype splitAt = 0; // >0: send the bytes from here on splitMs later
};

// The scale's side of the protocol, on whole frames; the transports feed it.
class SimScale {
public:
    explicit SimScale(SimConfig config) : m_config(std::move(config)) {}

    // The answer to a received frame; frameNumber counts the frames of one connection
    // from 1 (for the fault's position).
    SimAction handle(const DecodedFrame& frame, int frameNumber);
    // The discovery answer, identifySize bytes with the mode at offset 16.
    QByteArray identifyAnswer() const;
    const SimConfig& config() const { return m_config; }

private:
    QByteArray answer(const DecodedFrame& frame);
    QByteArray writeBlock(const QByteArray& payload);
    QByteArray readBlock(const QByteArray& payload);
    QString filePath(quint8 kind) const;

    SimConfig m_config;
};

// A readable line for a frame, for the frame log.
QString describeFrame(const DecodedFrame& frame);

// Splits a byte stream into frames: bytes that cannot start a frame are skipped.
class FrameStream {
public:
    void append(const QByteArray& bytes) { m_buffer.append(bytes); }
    // The next whole frame, if there is one.
    std::optional<DecodedFrame> next();
    qsizetype skipped() const { return m_skipped; }

private:
    QByteArray m_buffer;
    qsizetype m_skipped = 0;
};

} // namespace dm::sim
