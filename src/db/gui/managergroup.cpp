#include "db/gui/managergroup.h"

#include "app/gui/toolbar.h"
#include "app/langtext.h"

#include <QFontMetrics>
#include <QVBoxLayout>

namespace dm::gui {

ManagerGroupBox::ManagerGroupBox(QWidget* parent) : QGroupBox(parent) {
    setObjectName(QStringLiteral("ManagerGroup"));
    auto* bar = makePageToolBar(this, QStringLiteral("ManagerToolBar"));
    OpenBaseButton = addToolButton(bar, QStringLiteral("OpenBaseButton"), Picture::Open);
    CreateBaseButton = addToolButton(bar, QStringLiteral("CreateBaseButton"), Picture::Create);
    DeleteBaseButton = addToolButton(bar, QStringLiteral("DeleteBaseButton"), Picture::Delete);
    CopyBaseButton = addToolButton(bar, QStringLiteral("CopyBaseButton"), Picture::Copy);
    BaseLabel = new QLabel(this);
    BaseLabel->setObjectName(QStringLiteral("BaseLabel"));
    DatabaseLabel = new QLabel(this);
    DatabaseLabel->setObjectName(QStringLiteral("DatabaseLabel"));
    DatabaseLabel->setStyleSheet(QStringLiteral("font-weight: bold;"));
    DatabaseLabel->setMinimumWidth(50);
    BaseListLabel = new QLabel(this);
    BaseListLabel->setObjectName(QStringLiteral("BaseListLabel"));
    DatabaseListBox = new QListWidget(this);
    DatabaseListBox->setObjectName(QStringLiteral("DatabaseListBox"));
    DatabaseListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(BaseLabel);
    layout->addWidget(DatabaseLabel);
    layout->addWidget(BaseListLabel);
    layout->addWidget(DatabaseListBox, 1);
}

void ManagerGroupBox::applyLanguage() {
    const auto t = [](const char16_t* key, const char16_t* def) {
        return LangText(u"Settings", key, def);
    };
    setTitle(t(u"Manager", u"Bases manager"));
    OpenBaseButton->setText(t(u"Open", u"Open"));
    CreateBaseButton->setText(t(u"Create", u"Create"));
    DeleteBaseButton->setText(t(u"Delete", u"Delete"));
    CopyBaseButton->setText(t(u"Copy", u"Copy"));
    BaseLabel->setText(t(u"ConnectedBase", u"Current database"));
    BaseListLabel->setText(t(u"List", u"Previously used database"));
}

void ManagerGroupBox::showDatabasePath(const QString& path) {
    m_path = path;
    DatabaseLabel->setToolTip(path);
    const int width = qMax(50, DatabaseLabel->width());
    DatabaseLabel->setText(DatabaseLabel->fontMetrics().elidedText(path, Qt::ElideMiddle, width));
}

void ManagerGroupBox::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    if (!m_path.isEmpty())
        showDatabasePath(m_path);
}

} // namespace dm::gui
