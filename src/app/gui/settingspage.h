#pragma once

#include "comm/gui/scalesgroup.h"
#include "db/gui/managergroup.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace dm::gui {

// The settings page (SettingsSheet): scales, database manager and the other settings.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPage(QWidget* parent = nullptr);
    void applyLanguage();

    ScalesGroupBox* ScalesGroup;
    ManagerGroupBox* ManagerGroup;
    QGroupBox* MiscGroup;
    QLabel* LangLabel;
    QComboBox* LangCombo;
    QLabel* AdminLabel;
    QLineEdit* AdminPassword;
};

} // namespace dm::gui
