#pragma once

#include "comm/scalelink.h"

#include <QSerialPort>

#include <memory>

namespace dm {

// A scale on a serial port COM1..COM9 (the device from SerialPortMap), 57 600 baud
// 8N1, DTR on, RTS raised while bytes go out.
//
// The process has one serial port: opening a link closes any other serial link open
// in the same thread, and waits while one is open in another thread, so that
// discovery probes and transfers never use the port at once.
class SerialLink : public ScaleLink {
public:
    static constexpr qint32 BaudRate = 57600;

    SerialLink(ScaleAddress address, LinkTimings timings);
    explicit SerialLink(int portNumber, LinkTimings timings = {});
    ~SerialLink() override;

    bool open() override;
    // Opens only when no other thread holds the serial port (discovery probes).
    bool tryOpen();
    void close() override;
    bool isOpen() const override;

protected:
    QIODevice* device() const override;
    bool writeBytes(QByteArrayView bytes) override;
    bool connectionAlive() const override { return isOpen(); }
    bool stopsAtFrameEnd() const override { return false; }

private:
    bool openPort(bool wait);
    bool setUp();

    std::unique_ptr<QSerialPort> m_port;
    bool m_holdsSlot = false;
};

} // namespace dm
