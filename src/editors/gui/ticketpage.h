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
    // Without an open database the fields are emptied and disabled; a default password
    // that cannot be stored is reported, and the other texts are shown all the same.
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
    // The handlers of the single fields, bound to their edits; each passes its field's
    // number on to the handler that all fields of its kind share.
    void Header1EditChange() { TicketLineEditChange(1); }
    void Header2EditChange() { TicketLineEditChange(2); }
    void Header3EditChange() { TicketLineEditChange(3); }
    void Header4EditChange() { TicketLineEditChange(4); }
    void Header5EditChange() { TicketLineEditChange(5); }
    void Info1EditChange() { TicketLineEditChange(6); }
    void Info2EditChange() { TicketLineEditChange(7); }
    void Info3EditChange() { TicketLineEditChange(8); }
    void Oper1EditChange() { OperEditChange(1); }
    void Oper2EditChange() { OperEditChange(2); }
    void Oper3EditChange() { OperEditChange(3); }
    void Oper4EditChange() { OperEditChange(4); }
    void Oper5EditChange() { OperEditChange(5); }
    void Oper6EditChange() { OperEditChange(6); }
    void Oper7EditChange() { OperEditChange(7); }
    void Oper8EditChange() { OperEditChange(8); }
    void Password1EditChange() { PasswordEditChange(1); }
    void Password2EditChange() { PasswordEditChange(2); }
    void Password3EditChange() { PasswordEditChange(3); }
    void Password4EditChange() { PasswordEditChange(4); }
    void Password5EditChange() { PasswordEditChange(5); }
    void Password6EditChange() { PasswordEditChange(6); }
    void Password7EditChange() { PasswordEditChange(7); }
    void Password8EditChange() { PasswordEditChange(8); }

    void TicketLineEditChange(int n); // ticket line n: headers 1..5, information lines 6..8
    void OperEditChange(int n);       // operator n's name, also on a click into the edit
    void PasswordEditChange(int n);   // operator n's password
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
    QLineEdit* lineEdit(int n) const;   // ticket line n (1..8)
    QList<QLineEdit*> allEdits() const; // the page's fields and the administrator password
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
