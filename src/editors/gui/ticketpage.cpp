#include "editors/gui/ticketpage.h"

#include "app/gui/toolbar.h"
#include "app/langtext.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace dm::gui {

namespace {
QList<QLineEdit*> makeEdits(QWidget* parent, const QString& stem, int count) {
    QList<QLineEdit*> edits;
    for (int i = 1; i <= count; ++i) {
        auto* e = new QLineEdit(parent);
        e->setObjectName(stem + QString::number(i) + QStringLiteral("Edit"));
        edits.append(e);
    }
    return edits;
}

QLabel* makeLabel(QWidget* parent, const QString& name) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    return l;
}

QLabel* makePreview(QWidget* parent, const QString& name) {
    QLabel* l = makeLabel(parent, name);
    l->setFixedWidth(216);
    l->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    l->setStyleSheet(QStringLiteral("background: white;"));
    return l;
}
} // namespace

TicketPage::TicketPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TicketSheet"));
    auto* bar = makePageToolBar(this, QStringLiteral("TicketToolBar"));
    ClearTicketButton = addToolButton(bar, QStringLiteral("ClearTicketButton"), Picture::Clear);
    bar->addSeparator();
    TransmitTicketButton =
        addToolButton(bar, QStringLiteral("TransmitTicketButton"), Picture::Upload);
    TicketToCardButton =
        addToolButton(bar, QStringLiteral("TicketToCardButton"), Picture::SaveCard);
    bar->addSeparator();
    ReceiveTicketButton =
        addToolButton(bar, QStringLiteral("ReceiveTicketButton"), Picture::Download);
    TicketFromCardButton =
        addToolButton(bar, QStringLiteral("TicketFromCardButton"), Picture::LoadCard);

    HeaderLabel = makeLabel(this, QStringLiteral("HeaderLabel"));
    OperLabel = makeLabel(this, QStringLiteral("OperLabel"));
    PasswordLabel = makeLabel(this, QStringLiteral("PasswordLabel"));
    InfoLabel = makeLabel(this, QStringLiteral("InfoLabel"));
    HeaderEdits = makeEdits(this, QStringLiteral("Header"), 5);
    OperEdits = makeEdits(this, QStringLiteral("Oper"), 8);
    PasswordEdits = makeEdits(this, QStringLiteral("Password"), 8);
    InfoEdits = makeEdits(this, QStringLiteral("Info"), 3);
    MatchError = makeLabel(this, QStringLiteral("MatchError"));
    EmptyError = makeLabel(this, QStringLiteral("EmptyError"));
    MatchError->setAutoFillBackground(true);
    EmptyError->setAutoFillBackground(true);
    MatchError->setVisible(false);
    EmptyError->setVisible(false);
    TemplateTicket = makePreview(this, QStringLiteral("TemplateTicket"));
    TicketDrawImage = makePreview(this, QStringLiteral("TicketDrawImage"));

    auto* form = new QGridLayout;
    int row = 0;
    form->addWidget(HeaderLabel, row++, 0, 1, 2);
    for (QLineEdit* e : HeaderEdits)
        form->addWidget(e, row++, 0, 1, 2);
    form->addWidget(OperLabel, row, 0);
    form->addWidget(PasswordLabel, row++, 1);
    for (int i = 0; i < 8; ++i) {
        form->addWidget(OperEdits[i], row, 0);
        form->addWidget(PasswordEdits[i], row++, 1);
    }
    form->addWidget(MatchError, row, 0);
    form->addWidget(EmptyError, row++, 1);
    form->addWidget(InfoLabel, row++, 0, 1, 2);
    for (QLineEdit* e : InfoEdits)
        form->addWidget(e, row++, 0, 1, 2);
    form->setRowStretch(row, 1);
    form->setColumnStretch(0, 3);
    form->setColumnStretch(1, 1);

    auto* body = new QHBoxLayout;
    body->addLayout(form, 1);
    body->addWidget(TemplateTicket);
    body->addWidget(TicketDrawImage);
    auto* top = new QVBoxLayout(this);
    top->addWidget(bar);
    top->addLayout(body, 1);
}

void TicketPage::bind(Database* db) {
    m_db = db;
}

void TicketPage::LoadTicketPage() {}

void TicketPage::applyLanguage() {
    const auto t = [](const char16_t* key, const char16_t* def) {
        return LangText(u"Ticket", key, def);
    };
    ClearTicketButton->setText(t(u"Clear", u"Clear"));
    TransmitTicketButton->setText(t(u"Upload", u"Upload"));
    ReceiveTicketButton->setText(t(u"Download", u"Download"));
    TicketToCardButton->setText(t(u"Save", u"Save"));
    TicketFromCardButton->setText(t(u"Load", u"Load"));
    HeaderLabel->setText(t(u"Header", u"Header"));
    OperLabel->setText(t(u"User", u"Operator"));
    PasswordLabel->setText(t(u"Password", u"Password"));
    InfoLabel->setText(t(u"Info", u"Information"));

    MatchError->setText(LangText(u"Text", u"PasswordsMatchError", u"Error: passwords match"));
    MatchError->setStyleSheet(QStringLiteral("background-color: rgb(255, 0, 0);"));
    EmptyError->setText(LangText(u"Text", u"PasswordsEmptyError", u"Error: empty password"));
    EmptyError->setStyleSheet(QStringLiteral("background-color: rgb(255, 204, 255);"));
}

} // namespace dm::gui
