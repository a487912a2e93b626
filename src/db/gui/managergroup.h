#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

#include "app/programfolder.h"

#include <functional>

namespace dm::gui {

// The database manager group of the settings page: the current file and the history.
class ManagerGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit ManagerGroupBox(QWidget* parent = nullptr);
    void applyLanguage();
    // Shows the path, shortened inside when it does not fit.
    void showDatabasePath(const QString& path);

    // What the manager needs from the window; tests replace the dialogs and questions.
    ProgramFolder folder{QString()};
    // folder: where the dialog starts; proposed: the full path the save dialog offers.
    std::function<QString(const QString& title, const QString& folder)> askOpenName;
    std::function<QString(const QString& title, const QString& proposed)> askSaveName;
    std::function<bool(const QString& caption, const QString& text)> ask;
    std::function<void(const QString& text)> notice; // the short pink notice
    std::function<void(const QString& text)> reportError;
    std::function<void()> reload; // ReloadAll, which opens Global/Base

    // The file dialogs' filter: "<description> (*.sqlite)".
    static QString databaseFilter();

public slots:
    void OpenBaseButtonClick();
    void CreateBaseButtonClick();
    void DatabaseListBoxDblClick(QListWidgetItem* item);
    void DeleteBaseButtonClick();
    void CopyBaseButtonClick();

public:
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
    QStringList history() const;
    void setHistory(const QStringList& items);
    bool rememberCurrent();
    QString dialogFolder() const;
    // The extension rule may name a file that the dialog did not ask about; asks then.
    bool mayReplace(const QString& chosen, const QString& caption);
    void fail(const QString& text);

    QString m_path;
};

} // namespace dm::gui
