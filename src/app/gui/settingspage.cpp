#include "app/gui/settingspage.h"

#include "app/langtext.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace dm::gui {

SettingsPage::SettingsPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SettingsSheet"));
    ScalesGroup = new ScalesGroupBox(this);
    ManagerGroup = new ManagerGroupBox(this);
    MiscGroup = new QGroupBox(this);
    MiscGroup->setObjectName(QStringLiteral("MiscGroup"));
    LangLabel = new QLabel(MiscGroup);
    LangLabel->setObjectName(QStringLiteral("LangLabel"));
    LangCombo = new QComboBox(MiscGroup);
    LangCombo->setObjectName(QStringLiteral("LangCombo"));
    LangCombo->setIconSize(QSize(24, 16));
    AdminLabel = new QLabel(MiscGroup);
    AdminLabel->setObjectName(QStringLiteral("AdminLabel"));
    AdminPassword = new QLineEdit(MiscGroup);
    AdminPassword->setObjectName(QStringLiteral("AdminPassword"));
    AdminPassword->setMaxLength(6);
    auto* misc = new QFormLayout(MiscGroup);
    misc->addRow(LangLabel, LangCombo);
    misc->addRow(AdminLabel, AdminPassword);

    auto* right = new QVBoxLayout;
    right->addWidget(ManagerGroup, 1);
    right->addWidget(MiscGroup);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(ScalesGroup, 1);
    layout->addLayout(right, 1);
}

void SettingsPage::applyLanguage() {
    ScalesGroup->applyLanguage();
    ManagerGroup->applyLanguage();
    MiscGroup->setTitle(LangText(u"Settings", u"Misc", u"Miscellaneous settings"));
    LangLabel->setText(LangText(u"Settings", u"Language", u"Language"));
    AdminLabel->setText(LangText(u"Settings", u"Admin", u"Administrative password"));
}

} // namespace dm::gui
