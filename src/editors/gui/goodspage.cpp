#include "editors/gui/goodspage.h"

#include "app/errors.h"
#include "app/gui/toolbar.h"
#include "app/langtext.h"
#include "db/database.h"
#include "editors/goodschecks.h"
#include "editors/goodseditor.h"
#include "editors/gui/goodsdelegate.h"
#include "editors/gui/goodsgridlink.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QValidator>

#include <functional>

namespace dm::gui {

namespace {

// The search text's typing rules for the chosen column, on typed and pasted text alike,
// and its length limit. The limit works like a field's: typing stops at it, while a
// longer text typed for another column stays as it is until the user shortens it (the
// window also passes through other columns when it fills the choice on a reload).
class GoodsSearchValidator : public QValidator {
public:
    GoodsSearchValidator(std::function<int()> column, QObject* parent)
        : QValidator(parent), m_column(std::move(column)) {}
    State validate(QString& input, int& pos) const override {
        const int column = m_column();
        QString kept = goodsSearchInput(column, input);
        qsizetype cursor = goodsSearchInput(column, input.left(pos)).size();
        const int limit = goodsSearchLimit(column);
        if (limit > 0 && kept.size() > limit && kept.size() > m_last.size()) {
            // What was just put in at the cursor goes beyond the limit: drop the excess.
            const qsizetype excess = kept.size() - std::max<qsizetype>(limit, m_last.size());
            const qsizetype from = std::max<qsizetype>(cursor - excess, 0);
            kept.remove(from, excess);
            cursor = from;
        }
        input = kept;
        pos = int(std::min(cursor, kept.size()));
        m_last = kept;
        return Acceptable;
    }

private:
    std::function<int()> m_column;
    mutable QString m_last; // the text as last accepted
};

// Grid columns are dataset fields; the search choice and the sort cycle count from PLU.
int gridColumnOfSection(int section) {
    return section - 1;
}

} // namespace

GoodsPage::GoodsPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("BaseSheet"));
    auto* bar = makePageToolBar(this, QStringLiteral("ProductsToolBar"));
    AddProductButton = addToolButton(bar, QStringLiteral("AddProductButton"), Picture::New);
    DeleteProductButton =
        addToolButton(bar, QStringLiteral("DeleteProductButton"), Picture::Delete);
    CopyProductButton = addToolButton(bar, QStringLiteral("CopyProductButton"), Picture::Copy);
    bar->addSeparator();
    ProductsToWordButton =
        addToolButton(bar, QStringLiteral("ProductsToWordButton"), Picture::Export);
    bar->addSeparator();
    TransmitProductsButton =
        addToolButton(bar, QStringLiteral("TransmitProductsButton"), Picture::Upload);
    ProductsToCardButton =
        addToolButton(bar, QStringLiteral("ProductsToCardButton"), Picture::SaveCard);
    bar->addSeparator();
    ReceiveProductsButton =
        addToolButton(bar, QStringLiteral("ReceiveProductsButton"), Picture::Download);
    ProductsFromCardButton =
        addToolButton(bar, QStringLiteral("ProductsFromCardButton"), Picture::LoadCard);

    FindLabel1 = new QLabel(this);
    FindLabel1->setObjectName(QStringLiteral("FindLabel1"));
    SearchEdit = new QLineEdit(this);
    SearchEdit->setObjectName(QStringLiteral("SearchEdit"));
    FindLabel2 = new QLabel(this);
    FindLabel2->setObjectName(QStringLiteral("FindLabel2"));
    SearchCombo = new QComboBox(this);
    SearchCombo->setObjectName(QStringLiteral("SearchCombo"));

    ProductsGrid = new QTableView(this);
    ProductsGrid->setObjectName(QStringLiteral("ProductsGrid"));
    ProductsGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    ProductsGrid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ProductsGrid->verticalHeader()->setDefaultSectionSize(22);
    ProductsGrid->horizontalHeader()->setStretchLastSection(true);
    ProductsGrid->horizontalHeader()->setSectionsClickable(true);
    ProductsGrid->horizontalHeader()->setSortIndicatorShown(true);
    ProductsGrid->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_editTriggers = QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                     QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed;
    ProductsGrid->setEditTriggers(m_editTriggers);
    m_delegate = new GoodsItemDelegate(ProductsGrid);
    m_delegate->typeWords = [this] { return m_typeWords; };
    m_delegate->reportError = [this](const QString& text) { report(text); };
    ProductsGrid->setItemDelegate(m_delegate);
    ProductsGrid->installEventFilter(this);
    ProductsGrid->viewport()->installEventFilter(this);

    SearchEdit->setValidator(
        new GoodsSearchValidator([this] { return SearchCombo->currentIndex(); }, SearchEdit));

    TicketImage = new QLabel(this);
    TicketImage->setObjectName(QStringLiteral("TicketImage"));
    TicketImage->setFixedWidth(216);
    TicketImage->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    TicketImage->setStyleSheet(QStringLiteral("background: white;"));

    auto* search = new QHBoxLayout;
    search->addWidget(FindLabel1);
    search->addWidget(SearchEdit, 1);
    search->addWidget(FindLabel2);
    search->addWidget(SearchCombo);
    auto* left = new QVBoxLayout;
    left->addLayout(search);
    left->addWidget(ProductsGrid, 1);
    auto* body = new QHBoxLayout;
    body->addLayout(left, 1);
    body->addWidget(TicketImage);
    auto* top = new QVBoxLayout(this);
    top->addWidget(bar);
    top->addLayout(body, 1);

    connect(AddProductButton, &QToolButton::clicked, this, &GoodsPage::AddProductButtonClick);
    connect(CopyProductButton, &QToolButton::clicked, this, &GoodsPage::CopyProductButtonClick);
    connect(DeleteProductButton, &QToolButton::clicked, this, &GoodsPage::DeleteProductButtonClick);
    connect(ProductsGrid, &QTableView::clicked, this, &GoodsPage::ProductsGridCellClick);
    connect(ProductsGrid->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &GoodsPage::ProductsGridTitleClick);
    connect(SearchCombo, &QComboBox::currentIndexChanged, this, &GoodsPage::SearchComboChange);
    connect(SearchEdit, &QLineEdit::textChanged, this, &GoodsPage::SearchEditChange);
    connect(m_delegate, &GoodsItemDelegate::saved, this, [this] { redraw(); });
}

void GoodsPage::bind(Database* db) {
    m_db = db;
    if (!m_db || !m_db->isOpen())
        return;
    ProductsDataSet& goods = m_db->products();
    linkGridToDataSet(ProductsGrid, &goods, false);
    // The preview shows the current goods; it follows the current row on this page.
    connect(&goods, &DataSet::currentRowChanged, this, &GoodsPage::redraw, Qt::UniqueConnection);
    ProductsGrid->setColumnWidth(ProductsDataSet::PLU, 80);
    ProductsGrid->setColumnWidth(ProductsDataSet::RVTName, 240);
    ProductsGrid->setColumnWidth(ProductsDataSet::Type, 80);
    ProductsGrid->setColumnWidth(ProductsDataSet::Price, 90);
    showSortIndicator();
}

void GoodsPage::postPendingEdit() {
    m_delegate->commitOpenEditor();
}

void GoodsPage::redraw() {
    if (redrawTicket && isVisible())
        redrawTicket();
}

bool GoodsPage::askUser(const QString& caption, const QString& text) {
    if (ask)
        return ask(caption, text);
    return QMessageBox::warning(this, caption, text, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

void GoodsPage::report(const QString& text) {
    if (reportError)
        reportError(text);
    else
        QMessageBox::critical(this, LangText(u"Text", u"ErrorData", u"Error"), text);
}

void GoodsPage::enableGoods(bool enabled) {
    DeleteProductButton->setEnabled(enabled);
    ProductsGrid->setEnabled(enabled);
}

void GoodsPage::selectCurrentRow() {
    if (m_db && m_db->isOpen())
        showDataSetRow(ProductsGrid, &m_db->products(), true);
}

void GoodsPage::AddProductButtonClick() {
    if (!m_db || !m_db->isOpen())
        return;
    postPendingEdit();
    SearchEdit->clear(); // which switches the filter off
    try {
        addGoods(m_db->products(), m_db->connection());
    } catch (const GoodsRefused&) {
        return; // the checks have shown why
    } catch (const UserError& e) {
        report(e.text());
        return;
    }
    redraw();
    enableGoods(true);
    ProductsGrid->clearSelection();
    selectCurrentRow();
}

void GoodsPage::CopyProductButtonClick() {
    if (!m_db || !m_db->isOpen())
        return;
    postPendingEdit();
    ProductsDataSet& goods = m_db->products();
    try {
        copyGoods(goods, m_db->connection(), goods.currentRow());
    } catch (const GoodsRefused&) {
        return;
    } catch (const UserError& e) {
        report(e.text());
        return;
    }
    ProductsGrid->clearSelection();
    selectCurrentRow();
    redraw();
}

void GoodsPage::DeleteProductButtonClick() {
    if (!m_db || !m_db->isOpen())
        return;
    ProductsDataSet& goods = m_db->products();
    QList<int> selected;
    for (const QModelIndex& i : ProductsGrid->selectionModel()->selectedRows())
        selected.append(i.row());
    if (selected.size() < 2 && goods.currentRow() < 0)
        return; // no row to ask about
    const int row = goods.currentRow();
    const QString question =
        goodsDeleteQuestion(int(selected.size()), goods.value(row, ProductsDataSet::PLU),
                            goods.value(row, ProductsDataSet::RVTName));
    if (!askUser(goodsDeleteCaption(), question))
        return;
    try {
        deleteGoods(goods, selected);
        redraw();
        if (goodsCount(m_db->connection()) == 0)
            enableGoods(false);
    } catch (const UserError& e) {
        report(e.text());
    }
}

void GoodsPage::ProductsGridCellClick(const QModelIndex&) {
    redraw();
}

void GoodsPage::ProductsGridTitleClick(int section) {
    if (!m_db || !m_db->isOpen())
        return;
    postPendingEdit();
    ProductsDataSet& goods = m_db->products();
    applyGoodsSort(goods, nextGoodsSort(goodsSortOf(goods), gridColumnOfSection(section)));
    showSortIndicator();
}

void GoodsPage::showSortIndicator() {
    const GoodsSort sort = m_db && m_db->isOpen() ? goodsSortOf(m_db->products()) : GoodsSort{};
    ProductsGrid->horizontalHeader()->setSortIndicator(
        sort.column < 0 ? -1 : goodsFieldOfColumn(sort.column), sort.order);
}

void GoodsPage::SearchComboChange(int index) {
    if (index < 0)
        return;    // the choice is being filled
    applySearch(); // the same text in the chosen column
}

void GoodsPage::SearchEditChange(const QString&) {
    applySearch();
}

void GoodsPage::applySearch() {
    if (!m_db || !m_db->isOpen())
        return;
    ProductsDataSet& goods = m_db->products();
    const QString text = SearchEdit->text();
    if (!text.isEmpty()) {
        goods.setFilter(GoodsSearch(SearchCombo->currentIndex(), text).filter());
        return;
    }
    if (goods.isFiltered())
        goods.clearFilter();
    ProductsGrid->clearSelection();
    selectCurrentRow();
}

bool GoodsPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ProductsGrid->viewport() && event->type() == QEvent::MouseButtonPress) {
        // With Shift the grid selects whole rows and does not edit in place.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        ProductsGrid->setEditTriggers(mouse->modifiers() & Qt::ShiftModifier
                                          ? QAbstractItemView::NoEditTriggers
                                          : m_editTriggers);
    } else if (watched == ProductsGrid && event->type() == QEvent::KeyPress &&
               !m_delegate->openEditor()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            DeleteProductButtonClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void GoodsPage::applyLanguage() {
    const auto t = [](const char16_t* key, const char16_t* def) {
        return LangText(u"Products", key, def);
    };
    AddProductButton->setText(t(u"New", u"New"));
    DeleteProductButton->setText(t(u"Delete", u"Delete"));
    CopyProductButton->setText(t(u"Copy", u"Copy"));
    ProductsToWordButton->setText(t(u"Export", u"Export"));
    TransmitProductsButton->setText(t(u"Upload", u"Upload"));
    ReceiveProductsButton->setText(t(u"Download", u"Download"));
    ProductsToCardButton->setText(t(u"Save", u"Save"));
    ProductsFromCardButton->setText(t(u"Load", u"Load"));
    m_titles = {t(u"PLU", u"PLU"), t(u"Name", u"Name"), t(u"Type", u"Type"), t(u"Price", u"Price"),
                t(u"Barcode", u"Barcode")};
    m_typeWords = {t(u"Weight", u"weight"), t(u"Count", u"count")};
    FindLabel1->setText(t(u"Find", u"Find"));
    FindLabel2->setText(t(u"In", u"in"));
}

} // namespace dm::gui
