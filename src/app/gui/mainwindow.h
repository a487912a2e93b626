#pragma once

#include "app/programfolder.h"

#include <QIcon>
#include <QLabel>
#include <QList>
#include <QMainWindow>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

namespace dm {
class Database;
class Notifier;
class ScaleDiscovery;
class TMessagePanel;
} // namespace dm

namespace dm::gui {

class GoodsPage;
class TicketPage;
class KeysPage;
class TotalsPage;
class SettingsPage;
class TicketPreviews;
class TransferCommands;
class CardCommands;
class TitledHeaderView;

// The main window: the five pages, the database connection with its datasets, the
// reload sequence and the page switching.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    enum Page {
        GoodsPageIndex,
        TicketPageIndex,
        KeysPageIndex,
        TotalsPageIndex,
        SettingsPageIndex
    };

    explicit TForm1(const ProgramFolder& folder, QWidget* parent = nullptr);
    ~TForm1() override;

    // The message panel is created after the main window (it does not exist while the
    // window prepares itself).
    void setMessagePanel(TMessagePanel* panel);
    TransferCommands* transferCommands() const { return m_transfers; }
    CardCommands* cardCommands() const { return m_cards; }
    // The message panel given to the window, or one of its own until then.
    TMessagePanel& messagePanel();
    // Where errors that no operation catches are shown; a message box by default.
    void setErrorReporter(std::function<void(const QString&)> reporter) {
        m_reportError = std::move(reporter);
    }
    // Where the goods checks and importers report (message boxes by default).
    void setNotifier(Notifier* notifier);
    Notifier& notifier() { return *m_notifier; }
    TicketPreviews& previews() { return *m_previews; }

    const ProgramFolder& programFolder() const { return m_folder; }
    Database& database() { return *m_db; }
    ScaleDiscovery& discovery() { return *m_discovery; }
    GoodsPage* goodsPage() const { return m_goods; }
    TicketPage* ticketPage() const { return m_ticket; }
    KeysPage* keysPage() const { return m_keys; }
    TotalsPage* totalsPage() const { return m_totals; }
    SettingsPage* settingsPage() const { return m_settings; }
    QTabWidget* pageControl() const { return PageControl; }
    // The seven buttons that talk to the scales, enabled once discovery has finished.
    QList<QToolButton*> transferButtons() const;
    QString caption() const { return windowTitle(); }

public slots:
    void FormCreate();
    // Brings the whole window back in line with terminal.ini, the database file and the
    // language. Returns false when the database could not be opened (DataLoaded stays
    // false and the rest of the sequence is skipped).
    bool ReloadAll();
    void FormClose();
    void PageControlPageChange(int index);
    void LangComboChange(int index);
    void HelpButtonClick();
    void Timer1Timer();
    void ProductsToWordButtonClick();
    void ExportTotalsButtonClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildWindow();
    void fillLanguageChoice();
    void selectLanguage();
    void LoadLanguage();
    void attachModels();
    void bindPages();
    void applyColumnTitles();
    void fillSearchChoices();
    void reportError(const QString& text);
    void showShortNotice(const QString& text);
    void StartDiscovery();
    void StopDiscovery();

    ProgramFolder m_folder;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<ScaleDiscovery> m_discovery;
    TMessagePanel* m_panel = nullptr;
    std::function<void(const QString&)> m_reportError;
    std::unique_ptr<Notifier> m_ownNotifier;
    Notifier* m_notifier = nullptr;
    TicketPreviews* m_previews = nullptr;
    TransferCommands* m_transfers = nullptr;
    CardCommands* m_cards = nullptr;
    TMessagePanel* m_ownPanel = nullptr;
    bool m_closed = false;

    QTabWidget* PageControl;
    GoodsPage* m_goods;
    TicketPage* m_ticket;
    KeysPage* m_keys;
    TotalsPage* m_totals;
    SettingsPage* m_settings;
    QWidget* HelpPanel;
    QToolButton* HelpButton;
    QLabel* RzStatusPane1;
    QLabel* RzStatusPane2;
    QTimer* Timer1;
    TitledHeaderView* m_keyTitles; // the column titles of KeyProductsGrid
    QList<QIcon> LangImageList;    // kept between reloads, as the language list reuses it
    bool m_fillingLanguages = false;
};

} // namespace dm::gui
