#include "editors/gui/ticketpage.h"

#include "app/errors.h"
#include "app/gui/toolbar.h"
#include "app/langtext.h"
#include "app/shellstate.h"
#include "db/database.h"
#include "editors/ticketeditor.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QValidator>

namespace dm::gui {

namespace {

const QColor kRed(255, 0, 0);
const QColor kPink(255, 204, 255);
constexpr int kBlinkMilliseconds = 500;

// The typing rules of an edit. The rules compare each edit with the text before it, so
// a text the program puts in (which may be longer than the typing limit) is taken as the
// new starting point rather than checked.
class EditRules : public QValidator {
public:
    EditRules(QLineEdit* edit, int limit, bool digitsOnly)
        : QValidator(edit), m_limit(limit), m_digitsOnly(digitsOnly), m_before(edit->text()) {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& t) { m_before = t; });
        edit->setMaxLength(32767); // the rules hold the limit; setText must not cut
        edit->setValidator(this);
    }
    void setStartingText(const QString& text) { m_before = text; }
    State validate(QString& input, int&) const override {
        return AcceptsTypedEdit(m_before, input, m_limit, m_digitsOnly) ? Acceptable : Invalid;
    }

private:
    int m_limit;
    bool m_digitsOnly;
    QString m_before;
};

// Puts a text into an edit as the program, past its typing rules.
void setFieldText(QLineEdit* edit, const QString& text) {
    if (auto* rules = dynamic_cast<EditRules*>(const_cast<QValidator*>(edit->validator())))
        rules->setStartingText(text);
    edit->setText(text);
}

void setEditColour(QLineEdit* edit, FieldColour colour) {
    if (colour == FieldColour::Normal) {
        edit->setPalette(QPalette()); // back to the system's colours
        return;
    }
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, colour == FieldColour::Red ? kRed : kPink);
    edit->setPalette(p);
}

void colourByLength(QLineEdit* edit, const TicketTextLimits& limits) {
    setEditColour(edit, IsOverRedThreshold(edit->text(), limits) ? FieldColour::Red
                                                                 : FieldColour::Normal);
}

void setLabelGround(QLabel* label, const QColor& colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::Window, colour);
    label->setPalette(p);
}
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

using FieldHandler = void (TicketPage::*)();
const FieldHandler kLineHandlers[kTicketPageLines] = {
    &TicketPage::Header1EditChange, &TicketPage::Header2EditChange, &TicketPage::Header3EditChange,
    &TicketPage::Header4EditChange, &TicketPage::Header5EditChange, &TicketPage::Info1EditChange,
    &TicketPage::Info2EditChange,   &TicketPage::Info3EditChange};
const FieldHandler kOperHandlers[kTicketPageOperators] = {
    &TicketPage::Oper1EditChange, &TicketPage::Oper2EditChange, &TicketPage::Oper3EditChange,
    &TicketPage::Oper4EditChange, &TicketPage::Oper5EditChange, &TicketPage::Oper6EditChange,
    &TicketPage::Oper7EditChange, &TicketPage::Oper8EditChange};
const FieldHandler kPasswordHandlers[kTicketPageOperators] = {
    &TicketPage::Password1EditChange, &TicketPage::Password2EditChange,
    &TicketPage::Password3EditChange, &TicketPage::Password4EditChange,
    &TicketPage::Password5EditChange, &TicketPage::Password6EditChange,
    &TicketPage::Password7EditChange, &TicketPage::Password8EditChange};

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
    setLabelGround(MatchError, kRed);
    setLabelGround(EmptyError, kPink);
    for (QLabel* l : {MatchError, EmptyError}) {
        // Blinking must not shift the fields around.
        QSizePolicy keep = l->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        l->setSizePolicy(keep);
    }
    ErrorBlinkTimer = new QTimer(this);
    ErrorBlinkTimer->setObjectName(QStringLiteral("ErrorBlinkTimer"));
    ErrorBlinkTimer->setInterval(kBlinkMilliseconds);
    connect(ErrorBlinkTimer, &QTimer::timeout, this, &TicketPage::BlinkErrors);

    for (int n = 1; n <= kTicketPageLines; ++n) {
        QLineEdit* e = lineEdit(n);
        new EditRules(e, TicketLineLimits(n).typing, false);
        connect(e, &QLineEdit::textChanged, this, kLineHandlers[n - 1]);
    }
    for (int n = 1; n <= kTicketPageOperators; ++n) {
        QLineEdit* name = OperEdits[n - 1];
        new EditRules(name, OperatorNameLimits().typing, false);
        connect(name, &QLineEdit::textChanged, this, kOperHandlers[n - 1]);
        name->installEventFilter(this);
        QLineEdit* password = PasswordEdits[n - 1];
        new EditRules(password, kPasswordTypingLimit, true);
        connect(password, &QLineEdit::textChanged, this, kPasswordHandlers[n - 1]);
    }
    connect(ClearTicketButton, &QToolButton::clicked, this, &TicketPage::ClearTicketButtonClick);

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

QLineEdit* TicketPage::lineEdit(int n) const {
    return n <= 5 ? HeaderEdits[n - 1] : InfoEdits[n - 6];
}

void TicketPage::setAdminPasswordEdit(QLineEdit* edit) {
    if (edit == m_admin)
        return;
    if (m_admin)
        disconnect(m_admin, nullptr, this, nullptr);
    m_admin = edit;
    if (!edit)
        return;
    new EditRules(edit, kPasswordTypingLimit, true);
    connect(edit, &QLineEdit::textChanged, this, &TicketPage::AdminPasswordChange);
    if (m_db && m_db->isOpen()) {
        const DataLoadedPause pause;
        setFieldText(edit, m_db->salesmen()
                               .lookup(QStringLiteral("ID"), 0, QStringLiteral("Password"))
                               .toString());
    }
}

void TicketPage::LoadTicketPage() {
    // What loading puts into the fields is not a user's edit.
    const DataLoadedPause pause;
    // Without a database the fields show nothing of the one before and take no edits.
    const bool open = m_db && m_db->isOpen();
    TicketPageTexts t;
    if (open)
        t = LoadTicketPageTexts(*m_db);
    for (QLineEdit* e : allEdits())
        e->setEnabled(open);
    for (int n = 1; n <= kTicketPageLines; ++n) {
        setFieldText(lineEdit(n), t.lines[size_t(n - 1)]);
        setEditColour(lineEdit(n), FieldColour::Normal);
    }
    for (int n = 1; n <= kTicketPageOperators; ++n) {
        setFieldText(OperEdits[n - 1], t.names[size_t(n - 1)]);
        setEditColour(OperEdits[n - 1], FieldColour::Normal);
    }
    shell().TicketOperatorName = OperEdits[0]->text();
    if (m_admin)
        setFieldText(m_admin, t.adminPassword);
    for (int n = 1; n <= kTicketPageOperators; ++n)
        setFieldText(PasswordEdits[n - 1], t.passwords[size_t(n - 1)]);
    CheckOperatorPasswords();
    if (!open) { // no passwords to warn about
        for (QLineEdit* p : PasswordEdits)
            setEditColour(p, FieldColour::Normal);
        showErrors(false, false);
    }
    if (!t.defaultsError.isEmpty())
        reportStoreError(t.defaultsError);
}

QList<QLineEdit*> TicketPage::allEdits() const {
    QList<QLineEdit*> edits = HeaderEdits + OperEdits + PasswordEdits + InfoEdits;
    if (m_admin)
        edits.append(m_admin);
    return edits;
}

template <class Write> void TicketPage::store(Write&& write) {
    if (!m_db || !m_db->isOpen())
        return;
    try {
        const DataLoadedPause pause; // back on every way out
        write(*m_db);
    } catch (const UserError& e) {
        reportStoreError(e.text());
        return;
    }
    // The redraw runs with DataLoaded back as it was: it only reads.
    if (redrawTicket)
        redrawTicket();
}

void TicketPage::reportStoreError(const QString& text) {
    if (m_batch) {
        if (m_batchError.isEmpty())
            m_batchError = text;
    } else if (reportError) {
        reportError(text);
    } else {
        qWarning("%s", qUtf8Printable(text));
    }
}

void TicketPage::TicketLineEditChange(int n) {
    if (!shell().DataLoaded)
        return;
    QLineEdit* edit = lineEdit(n);
    colourByLength(edit, TicketLineLimits(n));
    store([&](Database& db) { StoreTicketLine(db, n, edit->text()); });
}

void TicketPage::OperEditChange(int n) {
    if (!shell().DataLoaded)
        return;
    QLineEdit* edit = OperEdits[n - 1];
    colourByLength(edit, OperatorNameLimits());
    shell().TicketOperatorName = edit->text();
    store([&](Database& db) { StoreOperatorName(db, n, edit->text()); });
}

void TicketPage::PasswordEditChange(int n) {
    CheckOperatorPasswords(); // also while loading
    if (!shell().DataLoaded)
        return;
    QLineEdit* edit = PasswordEdits[n - 1];
    store([&](Database& db) { StoreOperatorPassword(db, n, edit->text()); });
}

void TicketPage::AdminPasswordChange() {
    if (!shell().DataLoaded || !m_admin)
        return;
    store([&](Database& db) { StoreOperatorPassword(db, 0, m_admin->text()); });
}

void TicketPage::CheckOperatorPasswords() {
    std::array<QString, kTicketPageOperators> passwords;
    for (int i = 0; i < kTicketPageOperators; ++i)
        passwords[size_t(i)] = PasswordEdits[i]->text();
    const PasswordCheck check = dm::CheckOperatorPasswords(passwords);
    for (int i = 0; i < kTicketPageOperators; ++i)
        setEditColour(PasswordEdits[i], check.colours[size_t(i)]);
    showErrors(check.emptyError, check.matchError);
}

void TicketPage::showErrors(bool empty, bool match) {
    m_emptyShown = empty;
    m_matchShown = match;
    EmptyError->setVisible(empty);
    MatchError->setVisible(match);
    if (!empty && !match)
        ErrorBlinkTimer->stop();
    else if (!ErrorBlinkTimer->isActive())
        ErrorBlinkTimer->start();
}

void TicketPage::BlinkErrors() {
    if (m_emptyShown)
        EmptyError->setVisible(EmptyError->isHidden());
    if (m_matchShown)
        MatchError->setVisible(MatchError->isHidden());
}

void TicketPage::ClearTicketButtonClick() {
    if (!shell().DataLoaded)
        return;
    // Each field that changes stores itself through its change handler.
    m_batch = true;
    m_batchError.clear();
    for (QLineEdit* e : HeaderEdits)
        setFieldText(e, QString());
    for (QLineEdit* e : OperEdits)
        setFieldText(e, QString());
    for (QLineEdit* e : InfoEdits)
        setFieldText(e, QString());
    const auto defaults = DefaultOperatorPasswords();
    for (int i = 0; i < kTicketPageOperators; ++i)
        setFieldText(PasswordEdits[i], defaults[size_t(i)]);
    // Every ticket line row holds the cleared text, also where a field was empty already.
    for (int n = 1; n <= kTicketPageLines; ++n)
        store([&](Database& db) { StoreTicketLine(db, n, lineEdit(n)->text()); });
    m_batch = false;
    if (!m_batchError.isEmpty())
        reportStoreError(m_batchError);
}

bool TicketPage::eventFilter(QObject* watched, QEvent* event) {
    // A click into an operator's name makes that operator the one on the preview.
    if (event->type() == QEvent::MouseButtonPress) {
        const int i = OperEdits.indexOf(qobject_cast<QLineEdit*>(watched));
        if (i >= 0)
            (this->*kOperHandlers[i])();
    }
    return QWidget::eventFilter(watched, event);
}

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
    setLabelGround(MatchError, kRed);
    EmptyError->setText(LangText(u"Text", u"PasswordsEmptyError", u"Error: empty password"));
    setLabelGround(EmptyError, kPink);
}

} // namespace dm::gui
