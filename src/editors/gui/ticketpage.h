#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QTimer>
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
    // Set by the main window: shows an error that a store could not handle.
    std::function<void(const QString&)> reportError;
    // The administrator password edit of the settings page, which stores into operator
    // row 0 under the same rules as the operator passwords (digits, six at most).
    void setAdminPasswordEdit(QLineEdit* edit);
    QLineEdit* adminPasswordEdit() const { return m_admin; }

    // Whether the two warnings are on (they blink while on, so visibility alternates).
    bool matchErrorShown() const { return m_matchShown; }
    bool emptyErrorShown() const { return m_emptyShown; }

public slots:
    void TicketLineEditChange(int n); // Header1..5EditChange (n 1..5), Info1..3EditChange (6..8)
    void OperEditChange(int n);       // Oper1..8EditChange, also on a click into the edit
    void PasswordEditChange(int n);   // Password1..8EditChange
    void AdminPasswordChange();
    void CheckOperatorPasswords();
    void ClearTicketButtonClick();
    void BlinkErrors(); // one step of the warnings' blinking

public:
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
    QTimer* ErrorBlinkTimer;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* lineEdit(int n) const; // ticket line n (1..8)
    // Stores while DataLoaded is paused, then redraws; a failure is reported, not thrown.
    template <class Write> void store(Write&& write);
    void reportStoreError(const QString& text);
    void showErrors(bool empty, bool match);

    Database* m_db = nullptr;
    QLineEdit* m_admin = nullptr;
    bool m_matchShown = false;
    bool m_emptyShown = false;
    // While the clear command stores field after field, only its first failure is shown.
    bool m_batch = false;
    QString m_batchError;
};

} // namespace dm::gui
