#pragma once

#include "app/programfolder.h"
#include "comm/transfersink.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QToolButton;

namespace dm {
class Database;
class MemoryCard;
} // namespace dm

namespace dm::gui {

class TForm1;
class TCardList;

// The card and keypad chosen in the card dialog.
struct CardChoice {
    QString root;
    QString keypad; // empty when the dialog offered no keypad (totals)
};

// The Save and Load buttons of the goods, ticket and keypad pages and the Load button of
// the totals page: the memory card exchange with the card dialog and the message panel.
// A card command is one of the window's commands that block in it: it does not start
// while another runs, and while it runs the window keeps painting and holds back input.
class CardCommands : public QObject {
    Q_OBJECT
public:
    CardCommands(TForm1& form, Database& db, ProgramFolder folder, std::function<void()> reload,
                 QObject* parent = nullptr);

    TCardList* cardList() const { return m_cardList; }
    // The seven card buttons.
    QList<QToolButton*> cardButtons() const;

    // Replaceable for tests: the pause object of each command (the real pauses by
    // default), the card choice (the dialog by default; none when cancelled) and where
    // errors go.
    std::function<std::unique_ptr<TransferPauses>()> makePauses;
    std::function<std::optional<CardChoice>(bool withKeypad)> chooseCard;
    std::function<void(const QString&)> reportError;

public slots:
    void ProductsToCardButtonClick();
    void TicketToCardButtonClick();
    void KeypadToCardButtonClick();
    void ProductsFromCardButtonClick();
    void TicketFromCardButtonClick();
    void KeypadFromCardButtonClick();
    void LoadTotalsButtonClick();

signals:
    // A command has ended (also when it was refused or cancelled).
    void commandFinished();

private:
    void SaveCommand();
    void LoadCommand();
    void TotalsCommand();
    // What every card command shares: the guard, the card choice, the message panel and
    // the report of an error. Returns whether run was started.
    bool runWithCard(bool withKeypad, const std::function<void()>& before,
                     const std::function<void(MemoryCard&, const CardChoice&)>& run);
    std::optional<CardChoice> showCardList(bool withKeypad);
    void report(const QString& text);

    TForm1& m_form;
    Database& m_db;
    ProgramFolder m_folder;
    std::function<void()> m_reload;
    TCardList* m_cardList;
};

} // namespace dm::gui
