#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QToolButton>
#include <QWidget>

#include <functional>

namespace dm {
class Database;
}

namespace dm::gui {

// The ticket page (TicketSheet): header, operator, password and information lines with
// the two ticket previews.
class TicketPage : public QWidget {
    Q_OBJECT
public:
    explicit TicketPage(QWidget* parent = nullptr);
    void applyLanguage(); // the captions of the Ticket section and the two warnings

    // Called by the main window after every open of the database.
    void bind(Database* db);
    // Fills the lines, operators and passwords from the database (reload sequence).
    void LoadTicketPage();
    // Set by the main window: redraws the ticket preview from the database.
    std::function<void()> redrawTicket;

    QToolButton* ClearTicketButton;
    QToolButton* TransmitTicketButton;
    QToolButton* TicketToCardButton;
    QToolButton* ReceiveTicketButton;
    QToolButton* TicketFromCardButton;
    QLabel* HeaderLabel;
    QLabel* OperLabel;
    QLabel* PasswordLabel;
    QLabel* InfoLabel;
    QList<QLineEdit*> HeaderEdits;   // Header1Edit .. Header5Edit
    QList<QLineEdit*> OperEdits;     // Oper1Edit .. Oper8Edit
    QList<QLineEdit*> PasswordEdits; // Password1Edit .. Password8Edit
    QList<QLineEdit*> InfoEdits;     // Info1Edit .. Info3Edit
    QLabel* MatchError;
    QLabel* EmptyError;
    QLabel* TemplateTicket;
    QLabel* TicketDrawImage;

private:
    Database* m_db = nullptr;
};

} // namespace dm::gui
