#include "scalefiles/gui/cardcommands.h"

#include "app/errors.h"
#include "app/gui/mainwindow.h"
#include "comm/gui/commandguard.h"
#include "comm/gui/panelsink.h"
#include "comm/transferrun.h"
#include "db/database.h"
#include "db/datasets.h"
#include "editors/gui/goodspage.h"
#include "editors/gui/keyspage.h"
#include "editors/gui/ticketpage.h"
#include "editors/gui/totalspage.h"
#include "scalefiles/gui/cardlist.h"
#include "scalefiles/memorycard.h"

#include <QMessageBox>
#include <QToolButton>

namespace dm::gui {

CardCommands::CardCommands(TForm1& form, Database& db, ProgramFolder folder,
                           std::function<void()> reload, QObject* parent)
    : QObject(parent), m_form(form), m_db(db), m_folder(std::move(folder)),
      m_reload(std::move(reload)), m_cardList(new TCardList(&form)) {
    setObjectName(QStringLiteral("CardCommands"));
    m_cardList->setDatabase(&m_db);
    makePauses = [] { return std::make_unique<EventLoopPauses>(); };
    chooseCard = [this](bool withKeypad) { return showCardList(withKeypad); };

    const auto on = [this](QToolButton* button, void (CardCommands::*slot)()) {
        connect(button, &QToolButton::clicked, this, slot);
    };
    on(form.goodsPage()->ProductsToCardButton, &CardCommands::ProductsToCardButtonClick);
    on(form.ticketPage()->TicketToCardButton, &CardCommands::TicketToCardButtonClick);
    on(form.keysPage()->KeypadToCardButton, &CardCommands::KeypadToCardButtonClick);
    on(form.goodsPage()->ProductsFromCardButton, &CardCommands::ProductsFromCardButtonClick);
    on(form.ticketPage()->TicketFromCardButton, &CardCommands::TicketFromCardButtonClick);
    on(form.keysPage()->KeypadFromCardButton, &CardCommands::KeypadFromCardButtonClick);
    on(form.totalsPage()->LoadTotalsButton, &CardCommands::LoadTotalsButtonClick);
}

QList<QToolButton*> CardCommands::cardButtons() const {
    return {m_form.goodsPage()->ProductsToCardButton, m_form.goodsPage()->ProductsFromCardButton,
            m_form.ticketPage()->TicketToCardButton,  m_form.ticketPage()->TicketFromCardButton,
            m_form.keysPage()->KeypadToCardButton,    m_form.keysPage()->KeypadFromCardButton,
            m_form.totalsPage()->LoadTotalsButton};
}

void CardCommands::ProductsToCardButtonClick() {
    SaveCommand();
}

void CardCommands::TicketToCardButtonClick() {
    SaveCommand();
}

void CardCommands::KeypadToCardButtonClick() {
    SaveCommand();
}

void CardCommands::ProductsFromCardButtonClick() {
    LoadCommand();
}

void CardCommands::TicketFromCardButtonClick() {
    LoadCommand();
}

void CardCommands::KeypadFromCardButtonClick() {
    LoadCommand();
}

void CardCommands::LoadTotalsButtonClick() {
    TotalsCommand();
}

std::optional<CardChoice> CardCommands::showCardList(bool withKeypad) {
    m_cardList->setKeypadChoiceVisible(withKeypad);
    const bool chosen = m_cardList->exec() == QDialog::Accepted;
    m_cardList->setKeypadChoiceVisible(true);
    if (!chosen)
        return std::nullopt;
    return CardChoice{m_cardList->cardRoot(), withKeypad ? m_cardList->keypadName() : QString()};
}

void CardCommands::report(const QString& text) {
    if (reportError)
        reportError(text);
    else
        QMessageBox::critical(&m_form, m_form.windowTitle(), text);
}

bool CardCommands::runWithCard(bool withKeypad, const std::function<void()>& before,
                               const std::function<void(MemoryCard&, const CardChoice&)>& run) {
    const CommandGuard guard(m_form, cardButtons(), [this] { emit commandFinished(); });
    if (!guard || !m_db.isOpen())
        return false;
    if (before)
        before();
    const std::optional<CardChoice> choice = chooseCard(withKeypad);
    if (!choice)
        return false;
    const std::unique_ptr<TransferPauses> pauses = makePauses();
    PanelSink sink(m_form.messagePanel());
    try {
        MemoryCard card(m_db, m_folder.exportFolder(), sink, *pauses, m_form.notifier());
        run(card, *choice);
    } catch (const std::exception& e) {
        sink.hideMessage();
        report(detail::errorText(e));
    }
    return true;
}

void CardCommands::SaveCommand() {
    runWithCard(true, nullptr, [](MemoryCard& card, const CardChoice& choice) {
        card.SaveFilesToCard(choice.root, choice.keypad);
    });
}

void CardCommands::LoadCommand() {
    const bool ran = runWithCard(true, nullptr, [](MemoryCard& card, const CardChoice& choice) {
        card.LoadFilesFromCard(choice.root, choice.keypad);
    });
    // Every page shows the database again, also after a file that could not be read:
    // the files before it were imported.
    if (ran && m_reload)
        m_reload();
}

void CardCommands::TotalsCommand() {
    TotalsPage* page = m_form.totalsPage();
    runWithCard(
        false,
        // The filter comes off, so the totals read show with the old ones.
        [page] { page->ClearTotalsFilter(); },
        [this, page](MemoryCard& card, const CardChoice& choice) {
            card.LoadTotalsFromCard(choice.root);
            page->DeleteTotalsButton->setEnabled(!m_db.totals().isEmpty());
        });
}

} // namespace dm::gui
