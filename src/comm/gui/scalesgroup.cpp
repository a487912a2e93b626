#include "comm/gui/scalesgroup.h"

#include "app/errors.h"
#include "app/gui/toolbar.h"
#include "app/langtext.h"
#include "comm/scaleslist.h"
#include "db/database.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace dm::gui {

// The Keypad column is chosen from the names of the keypads.
class KeypadPickDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QStringList names;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* combo = new QComboBox(parent);
        combo->setObjectName(QStringLiteral("KeypadPickList"));
        combo->addItems(names);
        return combo;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* combo = static_cast<QComboBox*>(editor);
        combo->setCurrentIndex(combo->findText(index.data(Qt::EditRole).toString()));
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        const auto* combo = static_cast<QComboBox*>(editor);
        if (combo->currentIndex() >= 0)
            model->setData(index, combo->currentText(), Qt::EditRole);
    }
};

ScalesGroupBox::ScalesGroupBox(QWidget* parent) : QGroupBox(parent) {
    setObjectName(QStringLiteral("ScalesGroup"));
    auto* bar = makePageToolBar(this, QStringLiteral("ScalesToolBar"));
    RefreshScalesButton =
        addToolButton(bar, QStringLiteral("RefreshScalesButton"), Picture::Refresh);
    DeleteScalesButton = addToolButton(bar, QStringLiteral("DeleteScalesButton"), Picture::Delete);
    ScalesGrid = new QTableView(this);
    ScalesGrid->setObjectName(QStringLiteral("ScalesGrid"));
    ScalesGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    ScalesGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    ScalesGrid->setSortingEnabled(false);
    ScalesGrid->horizontalHeader()->setStretchLastSection(true);
    // A title click selects nothing and sorts nothing.
    ScalesGrid->horizontalHeader()->setSectionsClickable(false);
    m_keypadDelegate = new KeypadPickDelegate(ScalesGrid);
    ScalesGrid->setItemDelegateForColumn(ScalesDataSet::Keypad, m_keypadDelegate);
    ScalesGrid->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(ScalesGrid, 1);

    connect(RefreshScalesButton, &QToolButton::clicked, this,
            &ScalesGroupBox::RefreshScalesButtonClick);
    connect(DeleteScalesButton, &QToolButton::clicked, this,
            &ScalesGroupBox::DeleteScalesButtonClick);
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

void ScalesGroupBox::attach(Database* db, ScaleDiscovery* discovery,
                            std::function<FoundScales()> found, std::function<void(int)> pause) {
    m_db = db;
    m_discovery = discovery;
    m_found = std::move(found);
    m_pause = std::move(pause);
    if (!m_db)
        return;
    ScalesDataSet& scales = m_db->scales();
    // A reopened dataset is reset; the grid then lays out its columns anew.
    connect(&scales, &QAbstractItemModel::modelReset, this, &ScalesGroupBox::configureGrid);
    connect(&scales, &DataSet::postFailed, this, &ScalesGroupBox::report);
}

void ScalesGroupBox::configureGrid() {
    if (!m_db || ScalesGrid->model() != &m_db->scales())
        return;
    m_db->scales().setReadOnlyFields({QStringLiteral("IP"), QStringLiteral("State")});
    ScalesGrid->setColumnHidden(ScalesDataSet::ID, true);
    ScalesGrid->setColumnWidth(ScalesDataSet::Name, 300);
    ScalesGrid->setColumnWidth(ScalesDataSet::IP, 200);
    ScalesGrid->setColumnWidth(ScalesDataSet::State, 100);
    ScalesGrid->setColumnWidth(ScalesDataSet::Keypad, 200);
    if (m_keypadDelegate->names.isEmpty())
        m_keypadDelegate->names = KeypadNames(*m_db);
    // The grid's current row is the dataset's current row.
    QItemSelectionModel* selection = ScalesGrid->selectionModel();
    if (selection && selection != m_followed) {
        m_followed = selection;
        connect(selection, &QItemSelectionModel::currentRowChanged, this,
                [this](const QModelIndex& current) {
                    if (m_db && current.isValid())
                        m_db->scales().setCurrentRow(current.row());
                });
    }
}

QStringList ScalesGroupBox::keypadPickList() const {
    return m_keypadDelegate->names;
}

void ScalesGroupBox::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    configureGrid();
}

void ScalesGroupBox::RefreshScalesList() {
    if (!m_db || !m_db->isOpen())
        return;
    configureGrid();
    try {
        ScalesRefresh result;
        {
            // The published list must not change while it is walked.
            const DiscoveryHold hold(m_discovery, m_pause);
            const FoundScales found = m_found ? m_found() : FoundScales();
            result = dm::RefreshScalesList(*m_db, found.addresses);
        }
        DeleteScalesButton->setEnabled(result.deleteEnabled);
        m_keypadDelegate->names = result.keypadNames;
        const int row = m_db->scales().currentRow();
        if (row >= 0 && ScalesGrid->model() == &m_db->scales())
            ScalesGrid->setCurrentIndex(m_db->scales().index(row, ScalesDataSet::Name));
    } catch (const UserError& e) {
        report(e.text());
    }
}

void ScalesGroupBox::RefreshScalesButtonClick() {
    RefreshScalesList();
}

int ScalesGroupBox::currentScaleRow() const {
    return m_db && m_db->isOpen() ? m_db->scales().currentRow() : -1;
}

void ScalesGroupBox::DeleteScalesButtonClick() {
    const int row = currentScaleRow();
    if (row < 0)
        return;
    ScalesDataSet& scales = m_db->scales();
    const QString name = scales.value(row, ScalesDataSet::Name).toString();
    const QString address = scales.value(row, ScalesDataSet::IP).toString();
    const QString caption = DeleteScaleCaption();
    const QString question = DeleteScaleQuestion(name, address);
    // The question comes without an icon.
    const bool yes = ask ? ask(caption, question)
                         : QMessageBox(QMessageBox::NoIcon, caption, question,
                                       QMessageBox::Yes | QMessageBox::No, this)
                                   .exec() == QMessageBox::Yes;
    if (!yes)
        return;
    try {
        scales.remove(row);
    } catch (const UserError& e) {
        report(e.text());
        return;
    }
    if (scales.isEmpty())
        DeleteScalesButton->setEnabled(false);
}

void ScalesGroupBox::appendScaleRow() {
    if (!m_db || !m_db->isOpen())
        return;
    try {
        const int row = m_db->scales().append({});
        if (row < 0)
            return;
        const QModelIndex name = m_db->scales().index(row, ScalesDataSet::Name);
        ScalesGrid->setCurrentIndex(name);
        ScalesGrid->edit(name);
    } catch (const UserError& e) {
        report(e.text());
    }
}

bool ScalesGroupBox::eventFilter(QObject* watched, QEvent* event) {
    // The grid takes new rows from the Insert key; it never deletes them by a key.
    if (watched == ScalesGrid && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Insert) {
        appendScaleRow();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

void ScalesGroupBox::report(const QString& text) {
    if (reportError)
        reportError(text);
    else
        QMessageBox::critical(this, window()->windowTitle(), text);
}

} // namespace dm::gui
