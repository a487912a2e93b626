#pragma once

#include "comm/scalelink.h"

#include <QTcpSocket>

#include <memory>

namespace dm {

// A scale over TCP, port 5001 of its address.
class TcpLink : public ScaleLink {
public:
    TcpLink(ScaleAddress address, LinkTimings timings, quint16 port = DefaultTcpPort);
    ~TcpLink() override;

    bool open() override;
    void close() override;
    bool isOpen() const override;

protected:
    QIODevice* device() const override;
    bool writeBytes(QByteArrayView bytes) override;
    bool connectionAlive() const override;
    bool stopsAtFrameEnd() const override { return true; }

private:
    quint16 m_port;
    std::unique_ptr<QTcpSocket> m_socket;
};

} // namespace dm
