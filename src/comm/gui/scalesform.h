#pragma once

#include "comm/scaleslist.h"

#include <QDialog>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>

namespace dm::gui {

// The scale choice dialog every transfer command shows before it starts: one item per
// found scale, ticked by a click. A download takes one scale (SingleScaleChoice), an
// upload or a totals download any number.
class TScalesForm : public QDialog {
    Q_OBJECT
public:
    explicit TScalesForm(QWidget* parent = nullptr);

    bool SingleScaleChoice = false;
    // The items the next showing lists (PrepareScaleChoice), none ticked.
    void setItems(const QStringList& items);
    // The indexes of the ticked items, in list order.
    QList<int> tickedItems() const { return m_ticks.ticked(); }

    QGroupBox* ScalesGroup;
    QListWidget* ScalesList;
    QPushButton* SelectAllButton;
    QPushButton* SelectNoneButton;
    QPushButton* CancelButton;
    QPushButton* OkButton;

public slots:
    void FormShow();
    void ScalesListChange(int index, bool ticked);
    void SelectAllButtonClick();
    void SelectNoneButtonClick();
    void OkButtonClick();
    void CancelButtonClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showTicks();
    void toggle(QListWidgetItem* item);

    QStringList m_items;
    ScaleChoiceTicks m_ticks;
};

} // namespace dm::gui
