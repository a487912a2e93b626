#pragma once

#include <QStringList>

namespace dm {

// The start-up probe of COM1 to COM9: the decimal numbers ("1".."9") of the ports that
// open with the link's settings, each closed again at once.
QStringList probeComPorts();

} // namespace dm
