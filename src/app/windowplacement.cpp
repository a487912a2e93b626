#include "app/windowplacement.h"

#include <QtGlobal>

namespace dm {

QPoint centredTopLeft(const QSize& window, const QRect& screen) {
    return {screen.left() + qMax(0, (screen.width() - window.width()) / 2),
            screen.top() + qMax(0, (screen.height() - window.height()) / 2)};
}

} // namespace dm
