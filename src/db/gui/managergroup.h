#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

namespace dm::gui {

// The database manager group of the settings page: the current file and the history.
class ManagerGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit ManagerGroupBox(QWidget* parent = nullptr);
    void applyLanguage();
    // Shows the path, shortened inside when it does not fit.
    void showDatabasePath(const QString& path);

    QToolButton* OpenBaseButton;
    QToolButton* CreateBaseButton;
    QToolButton* DeleteBaseButton;
    QToolButton* CopyBaseButton;
    QLabel* BaseLabel;
    QLabel* DatabaseLabel;
    QLabel* BaseListLabel;
    QListWidget* DatabaseListBox;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QString m_path;
};

} // namespace dm::gui
