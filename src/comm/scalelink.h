#pragma once

#include "comm/scaleframe.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QDeadlineTimer;
class QIODevice;

namespace dm {

// How a scale is reached follows from its address text alone: a first character "C"
// means a serial port COM1..COM9 (the port number is the fourth character), anything
// else is a TCP host.
struct ScaleAddress {
    enum class Kind { Tcp, Serial };
    Kind kind = Kind::Tcp;
    QString text;
    int serialPort = 0; // 1..9 for a serial address

    // Throws LinkError for a serial address whose fourth character is not 1..9.
    static ScaleAddress parse(const QString& address);
    bool isSerial() const { return kind == Kind::Serial; }
};

// The time limits of a link. The defaults are the product's; tests shorten them.
struct LinkTimings {
    int connectMs = 3000;   // TCP connect
    int firstByteMs = 5000; // wait for the first byte of a reply
    int gapMs = 100;        // a reply ends when this long passes without a byte
    // The rest of a reply after its first byte: a peer that keeps sending a little at a
    // time cannot hold a read longer (a full frame at 57 600 baud takes under 3 s).
    int restMs = 5000;
};

// The connection to one scale: open, write frames, read replies with a time limit,
// close. Each link owns its buffers, so several links can live side by side; it is
// used from the thread that opened it.
class ScaleLink {
public:
    static constexpr quint16 DefaultTcpPort = 5001;
    // The most one reply can hold: a reply that is not a frame, and the largest frame.
    static constexpr qsizetype MaxReplyBytes = 2000;
    static constexpr qsizetype MaxReplyFrame = frame::MaxPayload + frame::Overhead;

    virtual ~ScaleLink();

    // Connects; false with errorString() when the scale cannot be reached. A serial
    // link waits while another thread holds the serial port.
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Writes all bytes; unread bytes of an earlier reply are dropped first (for at most
    // gapMs, so a peer that never stops sending cannot hold the write), so that a late
    // answer to one request is never taken for the answer to the next. False when the
    // link is not open or the bytes did not go out.
    bool write(QByteArrayView bytes);
    // Encodes a frame into the link's own frame buffer and writes it.
    bool sendFrame(ScaleCommand command, QByteArrayView payload = {});
    // Writes the last frame again, byte for byte (the serial retries).
    bool resendFrame();
    const QByteArray& lastFrame() const { return m_frame; }

    // One reply: waits up to firstByteMs for a first byte, then takes bytes until the
    // reply is complete, gapMs pass without one, or restMs have passed since the first.
    // A reply that begins with the preamble is complete at the end of its frame, cut at
    // MaxReplyFrame; anything else is cut at MaxReplyBytes. Empty when nothing came.
    QByteArray read();
    QByteArray read(int firstByteMs);

    const ScaleAddress& address() const { return m_address; }
    const LinkTimings& timings() const { return m_timings; }
    void setTimings(const LinkTimings& t) { m_timings = t; }
    QString errorString() const { return m_error; }
    // Checked while a read waits for its first byte: true ends the wait at once (a
    // discovery pass that is asked to stop).
    void setCancelCheck(std::function<bool()> check) { m_cancel = std::move(check); }
    // Called at least every 50 ms while an open, a read or a write waits, so the window
    // can paint. While it runs, the link refuses to be used again (a read gives nothing,
    // a write and an open fail): one request at a time, whatever the hook does. The hook
    // must not close or destroy the link.
    void setIdle(std::function<void()> idle) { m_idle = std::move(idle); }
    // The slice in which a wait lets the idle hook run.
    static constexpr int IdleSliceMs = 50;

protected:
    ScaleLink(ScaleAddress address, LinkTimings timings);

    // The open device, or null.
    virtual QIODevice* device() const = 0;
    virtual bool writeBytes(QByteArrayView bytes) = 0;
    // False once the far end has gone (nothing more can come).
    virtual bool connectionAlive() const = 0;
    // TCP stops at the end of the frame that the preamble and length announce; the
    // serial side takes what comes by the gap rule, at most MaxReplyBytes.
    virtual bool stopsAtFrameEnd() const = 0;

    void setError(const QString& e) { m_error = e; }
    // Runs the idle hook (not from within itself).
    void idle();
    // True while the idle hook runs: the link is in the middle of a request.
    bool inIdle() const { return m_inIdle; }
    // The next slice of a wait that ends at a deadline.
    static int idleSlice(const QDeadlineTimer& until);

private:
    ScaleAddress m_address;
    LinkTimings m_timings;
    QByteArray m_frame;
    QString m_error;
    std::function<bool()> m_cancel;
    std::function<void()> m_idle;
    bool m_inIdle = false;
};

// The link for an address: TCP to port 5001 or the serial port. Throws LinkError for
// an address that the serial rule refuses.
std::unique_ptr<ScaleLink> makeScaleLink(const QString& address, const LinkTimings& timings = {});

} // namespace dm
