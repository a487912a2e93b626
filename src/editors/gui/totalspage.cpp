#include "editors/gui/totalspage.h"

#include "app/errors.h"
#include "app/gui/toolbar.h"
#include "app/langtext.h"
#include "db/database.h"
#include "editors/totalsview.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>

namespace dm::gui {

namespace {

// The earliest date of the edits stands for "no date": it is shown blank.
const QDate kNoDate(1752, 9, 14);

void makeClearable(QDateEdit* edit) {
    edit->setMinimumDate(kNoDate);
    edit->setSpecialValueText(QStringLiteral(" "));
    edit->setDate(kNoDate);
}

// The search edit's key rule, which also holds for pasted and dropped text.
class SearchRules : public QValidator {
public:
    SearchRules(QLineEdit* edit, const QComboBox* combo) : QValidator(edit), m_combo(combo) {}
    State validate(QString& input, int&) const override {
        const int i = m_combo->currentIndex();
        if (i < 0)
            return Acceptable;
        return TotalsSearchTakesText(static_cast<TotalsSearchColumn>(i), input) ? Acceptable
                                                                                : Invalid;
    }

private:
    const QComboBox* m_combo;
};

// Whether a key pressed in an empty date edit puts a date there: a key that types a
// character, or one that steps the date. Modifiers alone, moves between the sections,
// Tab, Escape, Enter and function keys leave the date empty.
bool startsADate(const QKeyEvent& key) {
    switch (key.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        break;
    }
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false; // shortcuts, not typing
    const QString text = key.text();
    return !text.isEmpty() && text.front().isPrint();
}

} // namespace

QDate TotalsPage::dateOf(const QDateEdit* edit) {
    return edit->date() == edit->minimumDate() ? QDate() : edit->date();
}

void TotalsPage::setDateOf(QDateEdit* edit, const QDate& date) {
    edit->setDate(date.isValid() ? date : edit->minimumDate());
}

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
    TotalsGrid->horizontalHeader()->setSectionsClickable(true);
    TotalsGrid->setSortingEnabled(false); // a title click sorts through the page's own rule

    for (QDateEdit* d : {TotalsDate1, TotalsDate2}) {
        makeClearable(d);
        d->installEventFilter(this);
        connect(d, &QDateEdit::dateChanged, this, &TotalsPage::RebuildTotalsFilter);
    }
    for (QTimeEdit* t : {TotalsTime1, TotalsTime2})
        connect(t, &QTimeEdit::timeChanged, this, &TotalsPage::RebuildTotalsFilter);
    TotalsSearchEdit->setValidator(new SearchRules(TotalsSearchEdit, TotalsSearchCombo));
    connect(TotalsSearchEdit, &QLineEdit::textChanged, this, &TotalsPage::RebuildTotalsFilter);
    // Refilling the choice at a reload keeps what fits; only the user's choice empties.
    connect(TotalsSearchCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        setUpSearchEdit(index);
        RebuildTotalsFilter();
    });
    connect(TotalsSearchCombo, &QComboBox::activated, this, &TotalsPage::TotalsSearchComboChange);
    connect(TotalsGrid->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TotalsPage::TotalsGridTitleClick);
    TotalsGrid->installEventFilter(this);
    connect(DeleteTotalsButton, &QToolButton::clicked, this, &TotalsPage::DeleteTotalsButtonClick);
    ask = [this](const QString& caption, const QString& text) {
        return QMessageBox::warning(this, caption, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };

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
    if (!m_db || !m_db->isOpen())
        return;
    TotalsGrid->setColumnWidth(TotalsDataSet::Scales, 100);
    TotalsGrid->setColumnWidth(TotalsDataSet::Name, 150);
    TotalsGrid->setColumnWidth(TotalsDataSet::Type, 50);
    // The grid's current row is the dataset's current row.
    if (QItemSelectionModel* sel = TotalsGrid->selectionModel())
        connect(sel, &QItemSelectionModel::currentRowChanged, this,
                &TotalsPage::TotalsGridCurrentChanged, Qt::UniqueConnection);
    RebuildTotalsFilter();
}

void TotalsPage::TotalsGridCurrentChanged(const QModelIndex& current) {
    if (m_db && m_db->isOpen() && current.isValid())
        m_db->totals().setCurrentRow(current.row());
}

void TotalsPage::setUpSearchEdit(int index) {
    if (index < 0)
        return;
    const auto column = static_cast<TotalsSearchColumn>(index);
    const int limit = TotalsSearchLimit(column);
    if (!TotalsSearchTakesText(column, TotalsSearchEdit->text()))
        TotalsSearchEdit->clear();
    TotalsSearchEdit->setMaxLength(limit > 0 ? limit : 32767);
}

void TotalsPage::TotalsSearchComboChange(int index) {
    TotalsSearchEdit->clear();
    setUpSearchEdit(index);
    RebuildTotalsFilter();
}

void TotalsPage::ClearTotalsFilter() {
    TotalsSearchEdit->clear();
    setDateOf(TotalsDate1, QDate());
    setDateOf(TotalsDate2, QDate());
    TotalsTime1->setTime(QTime(0, 0));
    TotalsTime2->setTime(QTime(0, 0));
}

void TotalsPage::RebuildTotalsFilter() {
    if (m_rebuilding)
        return;
    m_rebuilding = true;
    TotalsPeriod period{dateOf(TotalsDate1), TotalsTime1->time(), dateOf(TotalsDate2),
                        TotalsTime2->time()};
    if (OrderTotalsPeriod(period)) {
        setDateOf(TotalsDate2, period.endDate);
        TotalsTime2->setTime(period.endTime);
    }
    m_rebuilding = false;
    if (!m_db || !m_db->isOpen())
        return;
    TotalsFilter filter;
    filter.column = static_cast<TotalsSearchColumn>(std::max(0, TotalsSearchCombo->currentIndex()));
    filter.search = TotalsSearchEdit->text();
    filter.period = period;
    TotalsDataSet& totals = m_db->totals();
    totals.setFilter(TotalsRowFilter(filter));
    DeleteTotalsButton->setEnabled(!totals.isEmpty());
}

void TotalsPage::TotalsGridTitleClick(int column) {
    if (!m_db || !m_db->isOpen())
        return;
    TotalsDataSet& totals = m_db->totals();
    if (column < 0 || column >= totals.fields().size())
        return;
    const QString field = TotalsSortAfterClick(totals.sortField(), totals.fields()[column]);
    try {
        totals.setSortField(field);
    } catch (const UserError& e) {
        report(e.text());
        return;
    }
    QHeaderView* header = TotalsGrid->horizontalHeader();
    header->setSortIndicatorShown(!field.isEmpty());
    if (!field.isEmpty())
        header->setSortIndicator(column, Qt::AscendingOrder);
}

int TotalsPage::currentRow() const {
    const QModelIndex current = TotalsGrid->currentIndex();
    if (current.isValid())
        return current.row();
    return m_db->totals().currentRow();
}

void TotalsPage::DeleteTotalsButtonClick() {
    if (!m_db || !m_db->isOpen())
        return;
    TotalsDataSet& totals = m_db->totals();
    if (totals.isEmpty())
        return;
    QList<int> selected;
    if (const QItemSelectionModel* sel = TotalsGrid->selectionModel())
        for (const QModelIndex& i : sel->selectedRows())
            selected.append(i.row());
    // With fewer than two rows selected the question names one row, and that row is the
    // one deleted: the current row may differ from a single selected one (a ctrl-click
    // takes a row out of the selection and leaves it current). Without a current row the
    // single selected row is named.
    int named = currentRow();
    if (named < 0 || named >= totals.recordCount())
        named = selected.size() == 1 ? selected.front() : -1;
    const bool hasNamed = named >= 0 && named < totals.recordCount();
    const QString question = TotalsDeleteQuestion(
        int(selected.size()), hasNamed ? totals.value(named, TotalsDataSet::PLU) : QVariant(),
        hasNamed ? totals.value(named, TotalsDataSet::Name) : QVariant());
    if (!ask || !ask(TotalsDeleteCaption(), question))
        return;
    try {
        if (totals.isEmpty()) {
            // nothing left to delete
        } else if (selected.size() >= 2) {
            selected.erase(std::remove_if(selected.begin(), selected.end(),
                                          [&](int r) { return r >= totals.recordCount(); }),
                           selected.end());
            totals.removeRows(selected);
        } else if (hasNamed && named < totals.recordCount()) {
            totals.remove(named);
        }
    } catch (const UserError& e) {
        report(e.text());
    }
    if (totals.isEmpty())
        DeleteTotalsButton->setEnabled(false);
}

void TotalsPage::report(const QString& text) {
    if (reportError)
        reportError(text);
    else
        qWarning("%s", qUtf8Printable(text));
}

bool TotalsPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TotalsGrid && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        DeleteTotalsButtonClick();
        return true;
    }
    auto* date = qobject_cast<QDateEdit*>(watched);
    if (date && (date == TotalsDate1 || date == TotalsDate2)) {
        const bool empty = dateOf(date).isNull();
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Delete) {
                setDateOf(date, QDate());
                return true;
            }
            // Typing into an empty date begins from today; so does stepping it, which
            // would otherwise start from the blank date's hidden value.
            if (empty && startsADate(*static_cast<QKeyEvent*>(event))) {
                setDateOf(date, QDate::currentDate());
                date->setSelectedSection(QDateTimeEdit::DaySection);
            }
        } else if (empty &&
                   (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel)) {
            setDateOf(date, QDate::currentDate());
        }
    }
    return QWidget::eventFilter(watched, event);
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
