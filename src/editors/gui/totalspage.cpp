#include "editors/gui/totalspage.h"

#include "app/gui/toolbar.h"
#include "app/langtext.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace dm::gui {

TotalsPage::TotalsPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TotalsSheet"));
    auto* bar = makePageToolBar(this, QStringLiteral("TotalsToolBar"));
    DownloadTotalsButton =
        addToolButton(bar, QStringLiteral("DownloadTotalsButton"), Picture::Download);
    LoadTotalsButton = addToolButton(bar, QStringLiteral("LoadTotalsButton"), Picture::LoadCard);
    bar->addSeparator();
    ExportTotalsButton = addToolButton(bar, QStringLiteral("ExportTotalsButton"), Picture::Export);
    DeleteTotalsButton = addToolButton(bar, QStringLiteral("DeleteTotalsButton"), Picture::Delete);

    const auto label = [this](const QString& name) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        return l;
    };
    TotalsRangeLabel = label(QStringLiteral("TotalsRangeLabel"));
    TotalsDate1 = new QDateEdit(this);
    TotalsDate1->setObjectName(QStringLiteral("TotalsDate1"));
    TotalsDate1->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    TotalsDate1->setCalendarPopup(true);
    TotalsTime1 = new QTimeEdit(this);
    TotalsTime1->setObjectName(QStringLiteral("TotalsTime1"));
    TotalsTime1->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    TotalsDate2 = new QDateEdit(this);
    TotalsDate2->setObjectName(QStringLiteral("TotalsDate2"));
    TotalsDate2->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    TotalsDate2->setCalendarPopup(true);
    TotalsTime2 = new QTimeEdit(this);
    TotalsTime2->setObjectName(QStringLiteral("TotalsTime2"));
    TotalsTime2->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    TotalsFindLabel1 = label(QStringLiteral("TotalsFindLabel1"));
    TotalsSearchEdit = new QLineEdit(this);
    TotalsSearchEdit->setObjectName(QStringLiteral("TotalsSearchEdit"));
    TotalsFindLabel2 = label(QStringLiteral("TotalsFindLabel2"));
    TotalsSearchCombo = new QComboBox(this);
    TotalsSearchCombo->setObjectName(QStringLiteral("TotalsSearchCombo"));
    TotalsGrid = new QTableView(this);
    TotalsGrid->setObjectName(QStringLiteral("TotalsGrid"));
    TotalsGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    TotalsGrid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    TotalsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TotalsGrid->horizontalHeader()->setStretchLastSection(true);

    auto* filter = new QHBoxLayout;
    filter->addWidget(TotalsRangeLabel);
    filter->addWidget(TotalsDate1);
    filter->addWidget(TotalsTime1);
    filter->addWidget(TotalsDate2);
    filter->addWidget(TotalsTime2);
    filter->addSpacing(16);
    filter->addWidget(TotalsFindLabel1);
    filter->addWidget(TotalsSearchEdit, 1);
    filter->addWidget(TotalsFindLabel2);
    filter->addWidget(TotalsSearchCombo);
    auto* top = new QVBoxLayout(this);
    top->addWidget(bar);
    top->addLayout(filter);
    top->addWidget(TotalsGrid, 1);
}

void TotalsPage::bind(Database* db) {
    m_db = db;
}

void TotalsPage::applyLanguage() {
    const auto t = [](const char16_t* key, const char16_t* def) {
        return LangText(u"Totals", key, def);
    };
    DownloadTotalsButton->setText(t(u"Download", u"Download"));
    LoadTotalsButton->setText(t(u"Load", u"Read"));
    ExportTotalsButton->setText(t(u"Export", u"Export"));
    DeleteTotalsButton->setText(t(u"Delete", u"Delete"));
    m_titles = {t(u"Scales", u"Scales"),
                t(u"PLU", u"PLU"),
                t(u"Name", u"Name"),
                t(u"Type", u"Type"),
                t(u"DayWeight", u"Day qty."),
                t(u"DayNum", u"Day transactions"),
                t(u"MonthWeight", u"Month qty."),
                t(u"MonthNum", u"Month transactions"),
                t(u"Last", u"Last transaction"),
                t(u"Read", u"Read at")};
    TotalsRangeLabel->setText(t(u"Range", u"Period"));
    TotalsFindLabel1->setText(t(u"Find", u"Find"));
    TotalsFindLabel2->setText(t(u"In", u"in"));
}

} // namespace dm::gui
