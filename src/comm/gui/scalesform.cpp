#include "comm/gui/scalesform.h"

#include "app/langtext.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace dm::gui {

namespace {

constexpr int ItemHeight = 17;

class ItemHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), ItemHeight};
    }
};

} // namespace

TScalesForm::TScalesForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("TScalesForm"));
    ScalesGroup = new QGroupBox(this);
    ScalesGroup->setObjectName(QStringLiteral("ScalesGroup"));
    ScalesList = new QListWidget(ScalesGroup);
    ScalesList->setObjectName(QStringLiteral("ScalesList"));
    ScalesList->setItemDelegate(new ItemHeightDelegate(ScalesList));
    ScalesList->installEventFilter(this);
    auto* groupLayout = new QVBoxLayout(ScalesGroup);
    groupLayout->addWidget(ScalesList);

    const auto button = [this](const QString& name) {
        auto* b = new QPushButton(this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    SelectAllButton = button(QStringLiteral("SelectAllButton"));
    SelectNoneButton = button(QStringLiteral("SelectNoneButton"));
    CancelButton = button(QStringLiteral("CancelButton"));
    OkButton = button(QStringLiteral("OkButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SelectAllButton);
    buttons->addWidget(SelectNoneButton);
    buttons->addStretch(1);
    buttons->addWidget(CancelButton);
    buttons->addWidget(OkButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ScalesGroup, 1);
    layout->addLayout(buttons);
    resize(520, 300);

    // An item toggles wherever it is clicked, not only on its box.
    connect(ScalesList, &QListWidget::itemClicked, this, &TScalesForm::toggle);
    connect(SelectAllButton, &QPushButton::clicked, this, &TScalesForm::SelectAllButtonClick);
    connect(SelectNoneButton, &QPushButton::clicked, this, &TScalesForm::SelectNoneButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TScalesForm::CancelButtonClick);
    connect(OkButton, &QPushButton::clicked, this, &TScalesForm::OkButtonClick);
}

void TScalesForm::setItems(const QStringList& items) {
    m_items = items;
    m_ticks = ScaleChoiceTicks(int(items.size()), SingleScaleChoice);
}

void TScalesForm::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TScalesForm::FormShow() {
    SelectAllButton->setVisible(!SingleScaleChoice);
    SelectNoneButton->setVisible(!SingleScaleChoice);
    const auto t = [](const char16_t* key, const char16_t* def) {
        return LangText(u"SaveToScales", key, def);
    };
    ScalesGroup->setTitle(t(u"SelectScales", u"SelectScales"));
    SelectAllButton->setText(t(u"SelectAll", u"Select all"));
    SelectNoneButton->setText(t(u"SelectNone", u"Unselect all"));
    CancelButton->setText(t(u"Cancel", u"Cancel"));
    OkButton->setText(t(u"Upload", u"Upload"));

    m_ticks = ScaleChoiceTicks(int(m_items.size()), SingleScaleChoice);
    const QSignalBlocker block(ScalesList);
    ScalesList->clear();
    for (const QString& text : m_items) {
        auto* item = new QListWidgetItem(text, ScalesList);
        // The dialog keeps the tick rules, so the view does not toggle boxes by itself.
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    OkButton->setEnabled(m_ticks.okEnabled());
}

void TScalesForm::toggle(QListWidgetItem* item) {
    if (!item)
        return;
    const int index = ScalesList->row(item);
    ScalesListChange(index, !m_ticks.isTicked(index));
}

void TScalesForm::ScalesListChange(int index, bool ticked) {
    m_ticks.change(index, ticked);
    showTicks();
}

void TScalesForm::SelectAllButtonClick() {
    m_ticks.selectAll();
    showTicks();
}

void TScalesForm::SelectNoneButtonClick() {
    m_ticks.selectNone();
    showTicks();
}

void TScalesForm::OkButtonClick() {
    done(QDialog::Accepted);
}

void TScalesForm::CancelButtonClick() {
    done(QDialog::Rejected);
}

void TScalesForm::showTicks() {
    const QSignalBlocker block(ScalesList);
    for (int i = 0; i < ScalesList->count(); ++i)
        ScalesList->item(i)->setCheckState(m_ticks.isTicked(i) ? Qt::Checked : Qt::Unchecked);
    OkButton->setEnabled(m_ticks.okEnabled());
}

bool TScalesForm::eventFilter(QObject* watched, QEvent* event) {
    // Space ticks the current item as a click does.
    if (watched == ScalesList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        toggle(ScalesList->currentItem());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace dm::gui
