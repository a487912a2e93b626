#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace dm {

// Which device stands behind each of the serial port names COM1 to COM9. By default
// the ports the system reports, in the order of their device paths, take COM1, COM2,
// ... in turn; keys COM1 to COM9 of section Serial of terminal.ini override any of
// them (COM3=/dev/ttyUSB0, or a pseudo-terminal).
class SerialPortMap {
public:
    static constexpr int PortCount = 9;

    SerialPortMap() = default;
    // The system's ports with the overrides of the given terminal.ini (a missing file
    // overrides nothing).
    static SerialPortMap load(const QString& terminalIni);
    // The system's ports in device-path order, at most nine.
    static QStringList systemPorts();

    // The device path of COMn, n from 1 to 9; empty when none is known.
    QString devicePath(int portNumber) const;
    void setDevicePath(int portNumber, const QString& path);

private:
    std::array<QString, PortCount> m_paths;
};

// The map the serial links use. Until set it is loaded once from the terminal.ini of
// the executable's program folder. Safe to call from any thread.
SerialPortMap activeSerialPortMap();
void setActiveSerialPortMap(const SerialPortMap& map);

// Waits until the bytes written to an open serial device (its file descriptor) have
// left the driver's output queue, at most timeoutMs. False on a time-out.
bool waitSerialOutputSent(qintptr handle, int timeoutMs);

} // namespace dm
