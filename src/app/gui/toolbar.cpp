#include "app/gui/toolbar.h"

namespace dm::gui {

QToolBar* makePageToolBar(QWidget* parent, const QString& objectName) {
    auto* bar = new QToolBar(parent);
    bar->setObjectName(objectName);
    bar->setIconSize(QSize(40, 40));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setMovable(false);
    bar->setFloatable(false);
    return bar;
}

QToolButton* addToolButton(QToolBar* bar, const QString& objectName, Picture picture) {
    auto* button = new QToolButton(bar);
    button->setObjectName(objectName);
    button->setIcon(pictureIcon(picture, 40));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setMinimumWidth(72);
    bar->addWidget(button);
    return button;
}

} // namespace dm::gui
