#pragma once

#include <QGroupBox>
#include <QTableView>
#include <QToolButton>

namespace dm::gui {

// The scales group of the settings page: the known scales with their keypads.
class ScalesGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit ScalesGroupBox(QWidget* parent = nullptr);
    void applyLanguage();
    QStringList columnTitles() const { return m_titles; }

    QToolButton* RefreshScalesButton;
    QToolButton* DeleteScalesButton;
    QTableView* ScalesGrid;

private:
    QStringList m_titles;
};

} // namespace dm::gui
