#include "scalefiles/gui/cardlist.h"

#include "app/langtext.h"
#include "app/windowplacement.h"
#include "db/database.h"
#include "db/datasets.h"
#include "platform/removabledrives.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QVBoxLayout>

namespace dm::gui {

TCardList::TCardList(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("TCardList"));
    driveRoots = [] { return RemovableDriveRoots(); };

    CardGroup = new QGroupBox(this);
    CardGroup->setObjectName(QStringLiteral("CardGroup"));
    CardLabel = new QLabel(CardGroup);
    CardLabel->setObjectName(QStringLiteral("CardLabel"));
    KeypadLabel = new QLabel(CardGroup);
    KeypadLabel->setObjectName(QStringLiteral("KeypadLabel"));
    CardCombo = new QComboBox(CardGroup);
    CardCombo->setObjectName(QStringLiteral("CardCombo"));
    // A card mounted somewhere the drive list does not look can still be typed in.
    CardCombo->setEditable(true);
    CardCombo->setInsertPolicy(QComboBox::NoInsert);
    CardKeypadCombo = new QComboBox(CardGroup);
    CardKeypadCombo->setObjectName(QStringLiteral("CardKeypadCombo"));
    CardKeypadCombo->setEditable(false);

    auto* grid = new QGridLayout(CardGroup);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(4);
    grid->addWidget(CardLabel, 0, 0);
    grid->addWidget(CardCombo, 0, 1);
    grid->addWidget(KeypadLabel, 1, 0);
    grid->addWidget(CardKeypadCombo, 1, 1);
    grid->setColumnStretch(1, 1);

    SaveButton = new QPushButton(this);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    SaveButton->setEnabled(false);
    SaveButton->setDefault(true);
    CancelButton = new QPushButton(this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(SaveButton);
    buttons->addWidget(CancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(CardGroup, 1);
    layout->addLayout(buttons);
    setFixedSize(292, 126);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);

    connect(Timer1, &QTimer::timeout, this, &TCardList::Timer1Timer);
    connect(CardCombo, &QComboBox::editTextChanged, this, &TCardList::updateSaveButton);
    connect(SaveButton, &QPushButton::clicked, this, &TCardList::SaveButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TCardList::CancelButtonClick);
}

void TCardList::setKeypadChoiceVisible(bool visible) {
    KeypadLabel->setVisible(visible);
    CardKeypadCombo->setVisible(visible);
}

void TCardList::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        move(centredTopLeft(size(), s->availableGeometry()));
}

void TCardList::hideEvent(QHideEvent* event) {
    FormHide();
    QDialog::hideEvent(event);
}

void TCardList::FormShow() {
    CardGroup->setTitle(LangText(u"SaveToCard", u"SaveData", u"Save database to memory card"));
    CardLabel->setText(LangText(u"SaveToCard", u"SelectCard", u"Select memory card"));
    KeypadLabel->setText(LangText(u"SaveToCard", u"SelectKeypad", u"Select keypad"));
    SaveButton->setText(LangText(u"SaveToCard", u"Save", u"Save"));
    CancelButton->setText(LangText(u"SaveToCard", u"Cancel", u"Cancel"));

    CardKeypadCombo->clear();
    if (m_db && m_db->isOpen()) {
        KeypadsDataSet& keypads = m_db->keypads();
        for (int row = 0; row < keypads.recordCount(); ++row)
            CardKeypadCombo->addItem(keypads.value(row, KeypadsDataSet::Name).toString());
    }
    if (CardKeypadCombo->count() > 0)
        CardKeypadCombo->setCurrentIndex(0);

    // The list is brought up to date at once, then every tick while shown.
    Timer1Timer();
    Timer1->start();
}

void TCardList::FormHide() {
    Timer1->stop();
}

void TCardList::Timer1Timer() {
    const QStringList roots = driveRoots ? driveRoots() : QStringList();
    if (!m_seenRoots || *m_seenRoots != roots) {
        // The drive chosen before stays chosen while it is still there.
        const QString chosen = CardCombo->currentText();
        m_seenRoots = roots;
        CardCombo->clear();
        CardCombo->addItems(roots);
        const int again = int(roots.indexOf(chosen));
        CardCombo->setCurrentIndex(again >= 0 ? again : 0);
    }
    updateSaveButton();
}

void TCardList::updateSaveButton() {
    SaveButton->setEnabled(CardCombo->count() > 0 || !cardRoot().isEmpty());
}

void TCardList::SaveButtonClick() {
    // The keypad chosen becomes, and stays, the current row of the keypad list.
    if (m_db && m_db->isOpen())
        m_db->keypads().locate(QStringLiteral("Name"), keypadName());
    accept();
}

void TCardList::CancelButtonClick() {
    reject();
}

} // namespace dm::gui
