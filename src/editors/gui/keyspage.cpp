#include "editors/gui/keyspage.h"

#include "app/errors.h"
#include "app/gui/toolbar.h"
#include "app/langtext.h"
#include "app/shellstate.h"
#include "db/database.h"
#include "editors/gui/goodsdelegate.h"
#include "editors/gui/goodsgridlink.h"
#include "editors/gui/keypadkeybutton.h"
#include "editors/keypadeditor.h"

#include <QAction>
#include <QApplication>
#include <QDrag>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace dm::gui {

namespace {

// Only a goods row can be dropped; anything else would bind nothing.
void acceptGoodsDrag(QDragMoveEvent* event) {
    if (event->mimeData() && event->mimeData()->hasFormat(goodsDragMimeType()))
        event->acceptProposedAction();
}

} // namespace

KeysPage::KeysPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("KeysSheet"));
    auto* bar = makePageToolBar(this, QStringLiteral("KeysToolBar"));
    AutoFillKeypadButton =
        addToolButton(bar, QStringLiteral("AutoFillKeypadButton"), Picture::Autofill);
    ClearKeypadButton = addToolButton(bar, QStringLiteral("ClearKeypadButton"), Picture::Clear);
    bar->addSeparator();
    TransmitKeypadButton =
        addToolButton(bar, QStringLiteral("TransmitKeypadButton"), Picture::Upload);
    KeypadToCardButton =
        addToolButton(bar, QStringLiteral("KeypadToCardButton"), Picture::SaveCard);
    bar->addSeparator();
    ReceiveKeypadButton =
        addToolButton(bar, QStringLiteral("ReceiveKeypadButton"), Picture::Download);
    KeypadFromCardButton =
        addToolButton(bar, QStringLiteral("KeypadFromCardButton"), Picture::LoadCard);

    connect(AutoFillKeypadButton, &QToolButton::clicked, this,
            &KeysPage::AutoFillKeypadButtonClick);
    connect(ClearKeypadButton, &QToolButton::clicked, this, &KeysPage::ClearKeypadButtonClick);

    KeypadsGrid = new QTableView(this);
    KeypadsGrid->setObjectName(QStringLiteral("KeypadsGrid"));
    KeypadsGrid->setMaximumWidth(180);
    KeypadsGrid->horizontalHeader()->setStretchLastSection(true);
    KeypadsGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    KeypadsGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    KeypadsGrid->setEditTriggers(QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::SelectedClicked);
    KeypadsGrid->verticalHeader()->hide();
    NewKeypadAction = new QAction(KeypadsGrid);
    NewKeypadAction->setObjectName(QStringLiteral("NewKeypadAction"));
    KeypadsGrid->addAction(NewKeypadAction);
    KeypadsGrid->setContextMenuPolicy(Qt::ActionsContextMenu);
    KeypadsGrid->installEventFilter(this);
    connect(NewKeypadAction, &QAction::triggered, this, &KeysPage::NewKeypadActionExecute);

    KeyProductsGrid = new QTableView(this);
    KeyProductsGrid->setObjectName(QStringLiteral("KeyProductsGrid"));
    KeyProductsGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    KeyProductsGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    KeyProductsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    KeyProductsGrid->horizontalHeader()->setStretchLastSection(true);
    KeyProductsGrid->verticalHeader()->setDefaultSectionSize(22);
    KeyProductsGrid->setItemDelegate(new GoodsItemDelegate(KeyProductsGrid));
    KeyProductsGrid->viewport()->installEventFilter(this);
    KeyProductsGrid->viewport()->setAcceptDrops(true); // for KeyProductsGridDragOver

    // The keys sit in four rows over a frame that stands for the scale's keypad.
    auto* keypad = new QFrame(this);
    keypad->setObjectName(QStringLiteral("KeypadPicture"));
    keypad->setFrameShape(QFrame::StyledPanel);
    keypad->setStyleSheet(QStringLiteral(
        "#KeypadPicture { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5a5f66, "
        "stop:1 #3a3e44); border-radius: 8px; }"
        "#KeypadPicture QPushButton { background: #f4f4ef; border: 1px solid #999; "
        "border-radius: 4px; font-size: 10px; }"));
    auto* keys = new QGridLayout(keypad);
    keys->setSpacing(4);
    for (int i = 0; i < kKeyCount; ++i) {
        // Nine keys a row, the last row of six from the left.
        auto* key = new KeypadKeyButton(i + 1, keypad);
        keys->addWidget(key, i / 9, i % 9);
        Keys.append(key);
        connect(key, &QPushButton::clicked, this, [this, n = i + 1] { Key1Click(n); });
        connect(key, &KeypadKeyButton::dragOver, this, &KeysPage::Key1DragOver);
        connect(key, &KeypadKeyButton::goodsDropped, this, &KeysPage::Key1DragDrop);
        connect(key, &KeypadKeyButton::rightPressed, this,
                [this](int n) { Key1MouseDown(n, Qt::RightButton); });
    }
    keys->setColumnStretch(9, 1);
    ProductNameDisplay = new QLabel(this);
    ProductNameDisplay->setObjectName(QStringLiteral("ProductNameDisplay"));
    ProductNameDisplay->setMinimumHeight(28);
    ProductNameDisplay->setStyleSheet(QStringLiteral(
        "background: #1d2b1d; color: #9cff9c; font: bold 14px monospace; padding: 2px 6px;"));

    auto* right = new QVBoxLayout;
    right->addWidget(ProductNameDisplay);
    right->addWidget(keypad);
    right->addWidget(KeyProductsGrid, 1);
    auto* body = new QHBoxLayout;
    body->addWidget(KeypadsGrid);
    body->addLayout(right, 1);
    auto* top = new QVBoxLayout(this);
    top->addWidget(bar);
    top->addLayout(body, 1);
}

void KeysPage::bind(Database* db) {
    m_db = db;
    if (!m_db || !m_db->isOpen())
        return;
    linkGridToDataSet(KeypadsGrid, &m_db->keypads(), true);
    linkGridToDataSet(KeyProductsGrid, &m_db->products(), true);
    connect(&m_db->keypads(), &DataSet::currentRowChanged, this,
            &KeysPage::KeypadsDataSetAfterScroll, Qt::UniqueConnection);
    KeyProductsGrid->setColumnWidth(ProductsDataSet::PLU, 80);
    KeyProductsGrid->setColumnWidth(ProductsDataSet::RVTName, 240);
}

int KeysPage::currentKeypad() const {
    if (!m_db || !m_db->isOpen())
        return 0;
    const QVariant id = m_db->keypads().currentValue(QStringLiteral("ID"));
    return id.isValid() ? id.toInt() : 0;
}

void KeysPage::report(const QString& text) {
    if (reportError)
        reportError(text);
    else
        QMessageBox::critical(this, LangText(u"Text", u"ErrorData", u"Error"), text);
}

void KeysPage::setCaption(int key, const QString& caption) {
    Keys[key - 1]->setText(caption);
}

void KeysPage::ShowKeypad(int keypad) {
    if (!m_db || !m_db->isOpen())
        return;
    const KeypadPlus plus = keypadPlus(m_db->keys(), keypad);
    for (int n = 1; n <= kKeyCount; ++n)
        setCaption(n, keyCaption(plus[n - 1]));
    ProductNameDisplay->setText(shownKeypadNameLine(plus[0], m_db->products()));
}

void KeysPage::ClearKeypad(int keypad) {
    if (!m_db || !m_db->isOpen() || keypad < 1)
        return;
    try {
        clearKeypad(*m_db, keypad);
    } catch (const UserError& e) {
        report(e.text());
        ShowKeypad(keypad);
        return;
    }
    for (int n = 1; n <= kKeyCount; ++n)
        setCaption(n, QString());
    ProductNameDisplay->setText(keyNotSetLine(1));
}

void KeysPage::FillKeypad(int keypad) {
    if (!m_db || !m_db->isOpen() || keypad < 1)
        return;
    try {
        fillKeypad(*m_db, keypad);
    } catch (const UserError& e) {
        report(e.text());
    }
}

void KeysPage::ClearKeypadButtonClick() {
    ClearKeypad(currentKeypad());
}

void KeysPage::AutoFillKeypadButtonClick() {
    const int keypad = currentKeypad();
    if (!m_db || !m_db->isOpen() || keypad < 1)
        return;
    // Clearing and filling in one transaction: a failure leaves the keypad as it was.
    try {
        autofillKeypad(*m_db, keypad);
    } catch (const UserError& e) {
        report(e.text());
    }
    ShowKeypad(keypad);
}

void KeysPage::KeypadsDataSetAfterScroll() {
    if (shell().DataLoaded)
        ShowKeypad(currentKeypad());
}

void KeysPage::Key1Click(int key) {
    if (!m_db || !m_db->isOpen() || key < 1 || key > kKeyCount)
        return;
    ProductNameDisplay->setText(
        keyNameLine(key, Keys[key - 1]->text().toLongLong(), m_db->products()));
}

void KeysPage::Key1DragOver(int, QDragMoveEvent* event) {
    acceptGoodsDrag(event);
}

void KeysPage::Key1DragDrop(int key, const QMimeData* data) {
    m_dragArmed = false;
    const int keypad = currentKeypad();
    if (!m_db || !m_db->isOpen() || !data || keypad < 1 || key < 1 || key > kKeyCount)
        return;
    const std::optional<DraggedGoods> goods = readGoodsDragPayload(data->data(goodsDragMimeType()));
    if (!goods)
        return;
    try {
        if (!setKey(m_db->keys(), keypad, key, goods->plu))
            return; // a keypad without its keys' rows: nothing is written anywhere
    } catch (const UserError& e) {
        report(e.text());
        return;
    }
    ProductNameDisplay->setText(goods->name.isNull()
                                    ? QString()
                                    : u'#' + QString::number(key) + u' ' + goods->name.toString());
    setCaption(key, keyCaption(goods->plu));
}

void KeysPage::Key1MouseDown(int key, Qt::MouseButton button) {
    const int keypad = currentKeypad();
    if (button != Qt::RightButton || !m_db || !m_db->isOpen() || keypad < 1 || key < 1 ||
        key > kKeyCount)
        return;
    setCaption(key, QString());
    ProductNameDisplay->setText(keyNotSetLine(key));
    try {
        setKey(m_db->keys(), keypad, key, 0);
    } catch (const UserError& e) {
        report(e.text());
        ShowKeypad(keypad);
    }
}

void KeysPage::NewKeypadActionExecute() {
    if (!m_db || !m_db->isOpen())
        return;
    int keypad = 0;
    try {
        keypad = addKeypad(*m_db);
    } catch (const UserError& e) {
        report(e.text());
        return;
    }
    // The new row is the current one: show it and let the user name it.
    ShowKeypad(keypad);
    const int row = m_db->keypads().currentRow();
    if (row >= 0) {
        const QModelIndex name = m_db->keypads().index(row, KeypadsDataSet::Name);
        KeypadsGrid->setCurrentIndex(name);
        KeypadsGrid->edit(name);
    }
}

QMimeData* KeysPage::goodsDragData(int row) const {
    if (!m_db || !m_db->isOpen() || row < 0 || row >= m_db->products().recordCount())
        return nullptr;
    const ProductsDataSet& goods = m_db->products();
    auto* data = new QMimeData;
    DraggedGoods g;
    g.plu = goods.value(row, ProductsDataSet::PLU).toLongLong();
    g.name = goods.value(row, ProductsDataSet::RVTName);
    data->setData(goodsDragMimeType(), goodsDragPayload(g));
    data->setText(QString::number(g.plu));
    return data;
}

void KeysPage::startGoodsDrag() {
    m_dragArmed = false;
    const QModelIndex pressed = KeyProductsGrid->indexAt(m_pressAt);
    QMimeData* data = goodsDragData(
        pressed.isValid() ? pressed.row() : (m_db ? m_db->products().currentRow() : -1));
    if (!data)
        return;
    auto* drag = new QDrag(KeyProductsGrid);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}

void KeysPage::KeyProductsGridMouseDown(const QMouseEvent* event) {
    m_dragArmed = event->button() == Qt::LeftButton;
    m_pressAt = event->position().toPoint();
}

bool KeysPage::KeyProductsGridMouseMove(const QMouseEvent* event) {
    // Only the left button alone, no modifier key.
    if (!m_dragArmed || event->buttons() != Qt::LeftButton ||
        event->modifiers() != Qt::NoModifier ||
        (event->position().toPoint() - m_pressAt).manhattanLength() <
            QApplication::startDragDistance())
        return false;
    startGoodsDrag();
    return true;
}

void KeysPage::KeyProductsGridMouseUp() {
    m_dragArmed = false;
}

void KeysPage::KeyProductsGridDragOver(QDragMoveEvent* event) {
    acceptGoodsDrag(event);
}

bool KeysPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == KeyProductsGrid->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            KeyProductsGridMouseDown(static_cast<QMouseEvent*>(event));
            break;
        case QEvent::MouseMove:
            if (KeyProductsGridMouseMove(static_cast<QMouseEvent*>(event)))
                return true;
            break;
        case QEvent::MouseButtonRelease:
            KeyProductsGridMouseUp();
            break;
        case QEvent::DragEnter:
        case QEvent::DragMove:
            event->ignore();
            KeyProductsGridDragOver(static_cast<QDragMoveEvent*>(event));
            return true;
        case QEvent::Drop:
            // A goods row dropped back on the list binds nothing.
            event->ignore();
            m_dragArmed = false;
            return true;
        default:
            break;
        }
    } else if (watched == KeypadsGrid && event->type() == QEvent::KeyPress &&
               !KeypadsGrid->indexWidget(KeypadsGrid->currentIndex())) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier) {
            NewKeypadActionExecute();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void KeysPage::applyLanguage() {
    const auto t = [](const char16_t* key, const char16_t* def) {
        return LangText(u"Keys", key, def);
    };
    AutoFillKeypadButton->setText(t(u"Auto", u"Autofill"));
    ClearKeypadButton->setText(t(u"Clear", u"Clear"));
    TransmitKeypadButton->setText(t(u"Upload", u"Upload"));
    ReceiveKeypadButton->setText(t(u"Download", u"Download"));
    KeypadToCardButton->setText(t(u"Save", u"Save"));
    KeypadFromCardButton->setText(t(u"Load", u"Load"));
    m_titles = {t(u"PLU", u"PLU"), t(u"Name", u"Name"), t(u"Type", u"Type"), t(u"Price", u"Price"),
                t(u"Barcode", u"Barcode")};
    m_typeWords = {t(u"Weight", u"weight"), t(u"Count", u"count")};
    NewKeypadAction->setText(t(u"NewKeypad", u"New keypad"));
}

} // namespace dm::gui
