#include "comm/gui/scalesgroup.h"

#include "app/gui/toolbar.h"
#include "app/langtext.h"

#include <QHeaderView>
#include <QVBoxLayout>

namespace dm::gui {

ScalesGroupBox::ScalesGroupBox(QWidget* parent) : QGroupBox(parent) {
    setObjectName(QStringLiteral("ScalesGroup"));
    auto* bar = makePageToolBar(this, QStringLiteral("ScalesToolBar"));
    RefreshScalesButton =
        addToolButton(bar, QStringLiteral("RefreshScalesButton"), Picture::Refresh);
    DeleteScalesButton = addToolButton(bar, QStringLiteral("DeleteScalesButton"), Picture::Delete);
    ScalesGrid = new QTableView(this);
    ScalesGrid->setObjectName(QStringLiteral("ScalesGrid"));
    ScalesGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    ScalesGrid->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(ScalesGrid, 1);
}

void ScalesGroupBox::applyLanguage() {
    const auto t = [](const char16_t* key, const char16_t* def) {
        return LangText(u"Settings", key, def);
    };
    setTitle(t(u"Scales", u"Scales settings"));
    RefreshScalesButton->setText(t(u"Refresh", u"Refresh"));
    DeleteScalesButton->setText(t(u"Delete", u"Delete"));
    m_titles = {t(u"Num", u"#"), t(u"Name", u"Name"), t(u"Connection", u"Connection"),
                t(u"State", u"State"), t(u"Keypad", u"Keypad")};
}

} // namespace dm::gui
