#pragma once

#include "comm/discovery.h"

#include <QGroupBox>
#include <QPointer>
#include <QStringList>
#include <QTableView>
#include <QToolButton>

#include <functional>

class QItemSelectionModel;

namespace dm {
class Database;
}

namespace dm::gui {

class KeypadPickDelegate;

// The scales group of the settings page: the known scales with their keypads.
class ScalesGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit ScalesGroupBox(QWidget* parent = nullptr);
    void applyLanguage();
    QStringList columnTitles() const { return m_titles; }

    // What the refresh and the delete work on. db lives as long as the window (its
    // datasets are reopened, not replaced); found gives the last published discovery
    // result; pause is the run's pause (100 ms while discovery is held).
    void attach(Database* db, ScaleDiscovery* discovery, std::function<FoundScales()> found,
                std::function<void(int ms)> pause);

    // Column widths, the read-only columns and the Keypad pick list, after the grid has
    // its model (again).
    void configureGrid();
    QStringList keypadPickList() const;

    // Asks a Yes/No question (a message box unless replaced, as the tests do).
    std::function<bool(const QString& caption, const QString& text)> ask;
    // Shows a refused edit of the grid or an error of the refresh.
    std::function<void(const QString&)> reportError;

    QToolButton* RefreshScalesButton;
    QToolButton* DeleteScalesButton;
    QTableView* ScalesGrid;

public slots:
    void RefreshScalesList();
    void RefreshScalesButtonClick();
    void DeleteScalesButtonClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void appendScaleRow();
    int currentScaleRow() const;
    void report(const QString& text);

    QStringList m_titles;
    Database* m_db = nullptr;
    ScaleDiscovery* m_discovery = nullptr;
    std::function<FoundScales()> m_found;
    std::function<void(int)> m_pause;
    KeypadPickDelegate* m_keypadDelegate;
    QPointer<QItemSelectionModel> m_followed;
};

} // namespace dm::gui
