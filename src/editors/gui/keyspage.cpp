#include "editors/gui/keyspage.h"

#include "app/gui/toolbar.h"
#include "app/langtext.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace dm::gui {

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

    KeypadsGrid = new QTableView(this);
    KeypadsGrid->setObjectName(QStringLiteral("KeypadsGrid"));
    KeypadsGrid->setMaximumWidth(180);
    KeypadsGrid->horizontalHeader()->setStretchLastSection(true);
    KeypadsGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    KeyProductsGrid = new QTableView(this);
    KeyProductsGrid->setObjectName(QStringLiteral("KeyProductsGrid"));
    KeyProductsGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    KeyProductsGrid->horizontalHeader()->setStretchLastSection(true);

    // The keys sit in four rows over a frame that stands for the scale's keypad.
    auto* keypad = new QFrame(this);
    keypad->setObjectName(QStringLiteral("KeypadPicture"));
    keypad->setFrameShape(QFrame::StyledPanel);
    keypad->setStyleSheet(QStringLiteral(
        "#KeypadPicture { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5a5f66, "
        "stop:1 #3a3e44); border-radius: 8px; }"
        "#KeypadPicture QPushButton { background: #f4f4ef; border: 1px solid #999; "
        "border-radius: 4px; min-height: 34px; font-size: 10px; }"));
    auto* keys = new QGridLayout(keypad);
    for (int i = 0; i < kKeyCount; ++i) {
        auto* key = new QPushButton(keypad);
        key->setObjectName(QStringLiteral("Key") + QString::number(i + 1));
        key->setMinimumWidth(48);
        keys->addWidget(key, i / 9, i % 9);
        Keys.append(key);
    }
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
}

void KeysPage::ShowKeypad(int) {}

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
}

} // namespace dm::gui
