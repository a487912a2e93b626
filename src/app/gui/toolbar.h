#pragma once

#include "app/gui/icons.h"

#include <QToolBar>
#include <QToolButton>

namespace dm::gui {

// A page toolbar: 40 by 40 pictures above their captions.
QToolBar* makePageToolBar(QWidget* parent, const QString& objectName);
// Adds a button with the given objectName and picture; the caption comes later from
// the language file.
QToolButton* addToolButton(QToolBar* bar, const QString& objectName, Picture picture);

} // namespace dm::gui
