#pragma once

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <optional>

namespace dm {
class Database;
}

namespace dm::gui {

// The memory card dialog of the Save and Load buttons: the card's drive and, for the
// goods, ticket and keypad files, the keypad. Made once and reused; while it is shown it
// looks at the removable drives every half second, so a card reader plugged in appears
// at once.
class TCardList : public QDialog {
    Q_OBJECT
public:
    explicit TCardList(QWidget* parent = nullptr);

    // Where the keypad list comes from (KeyPads in table order); may be null.
    void setDatabase(Database* db) { m_db = db; }
    // The roots of the card drives (the removable drives unless replaced, as the tests do).
    std::function<QStringList()> driveRoots;
    // Loading totals needs no keypad: the keypad label and list are hidden for it.
    void setKeypadChoiceVisible(bool visible);

    QString cardRoot() const { return CardCombo->currentText().trimmed(); }
    QString keypadName() const { return CardKeypadCombo->currentText(); }

    QGroupBox* CardGroup;
    QLabel* CardLabel;
    QLabel* KeypadLabel;
    QComboBox* CardCombo;
    QComboBox* CardKeypadCombo;
    QPushButton* SaveButton;
    QPushButton* CancelButton;
    QTimer* Timer1;

public slots:
    void FormShow();
    void FormHide();
    void Timer1Timer();
    void SaveButtonClick();
    void CancelButtonClick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Save needs a card: a listed drive or a root typed in.
    void updateSaveButton();

    Database* m_db = nullptr;
    // The drive list of the last rebuild; kept while the program runs, so the list is
    // rebuilt only when the drives change.
    std::optional<QStringList> m_seenRoots;
};

} // namespace dm::gui
