#include "editors/gui/goodspage.h"

#include "app/gui/toolbar.h"
#include "app/langtext.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace dm::gui {

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
    ProductsGrid->verticalHeader()->setDefaultSectionSize(22);
    ProductsGrid->horizontalHeader()->setStretchLastSection(true);

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
}

void GoodsPage::bind(Database* db) {
    m_db = db;
}

void GoodsPage::postPendingEdit() {}

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
