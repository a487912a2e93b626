#include "comm/transfersink.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace dm {

void SleepingPauses::pause(int ms) {
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

void EventLoopPauses::pause(int ms) {
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace dm
