#include "comm/comports.h"

#include "comm/seriallink.h"
#include "platform/serialports.h"

namespace dm {

QStringList probeComPorts() {
    QStringList found;
    for (int n = 1; n <= SerialPortMap::PortCount; ++n) {
        SerialLink link(n);
        if (link.open()) {
            found.append(QString::number(n));
            link.close();
        }
    }
    return found;
}

} // namespace dm
