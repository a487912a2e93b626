#pragma once

#include "app/programfolder.h"
#include "comm/discovery.h"
#include "comm/transferrun.h"
#include "comm/transfersink.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QToolButton;

namespace dm {
class Database;
class TMessagePanel;
} // namespace dm

namespace dm::gui {

class TForm1;
class TScalesForm;

// The window's commands that talk to the scales: upload (goods, ticket and keypad pages),
// download (the same pages; the pages are reloaded after it) and totals (totals page),
// with the scale choice dialog and the message panel; and the scales group of the
// settings page. One command runs at a time in the whole program: while it runs the
// window keeps painting, the seven transfer buttons are disabled, the user's input to the
// window is held back and the window does not close.
class TransferCommands : public QObject {
    Q_OBJECT
public:
    TransferCommands(TForm1& form, Database& db, ScaleDiscovery& discovery, TMessagePanel* panel,
                     ProgramFolder folder, std::function<void()> reload, QObject* parent = nullptr);
    ~TransferCommands() override;

    // The message panel is created after the main window; until then the commands make
    // one of their own when they need it.
    void setMessagePanel(TMessagePanel* panel);
    // The settings page became the active page.
    void refreshScalesList();
    // A transfer command is running (in this window or any other).
    static bool isRunning();
    TScalesForm* scalesForm();

    // Replaceable for tests: the pause object of each run (the real pauses by default),
    // the link timings, where the found scales come from (the discovery's published
    // result), where uncaught errors go, and how the totals page's filter is emptied.
    std::function<std::unique_ptr<TransferPauses>()> makePauses;
    LinkTimings linkTimings;
    std::function<FoundScales()> foundScales;
    std::function<void(const QString&)> reportError;
    std::function<void()> clearTotalsFilter;

public slots:
    void TransmitProductsButtonClick();
    void TransmitTicketButtonClick();
    void TransmitKeypadButtonClick();
    void ReceiveProductsButtonClick();
    void ReceiveTicketButtonClick();
    void ReceiveKeypadButtonClick();
    void DownloadTotalsButtonClick();

private:
    void UploadCommand();
    void DownloadCommand();
    void TotalsCommand();
    // Shows the dialog over the found scales; the chosen addresses, none when cancelled.
    std::optional<QStringList> chooseScales(const FoundScales& found, bool single);
    // What every command shares: discovery held, the troubleshooting list when no scale
    // was found, the user's choice, the run, and the report of what failed.
    void runOnChosenScales(TroubleshootingFor kind, bool single,
                           const std::function<void(TransferSetup&, const QStringList&)>& run);
    TMessagePanel& panel();
    void report(const QString& text);

    TForm1& m_form;
    Database& m_db;
    ScaleDiscovery& m_discovery;
    QPointer<TMessagePanel> m_panel;
    TMessagePanel* m_ownPanel = nullptr;
    ProgramFolder m_folder;
    std::function<void()> m_reload;
    TScalesForm* m_scalesForm = nullptr;
};

} // namespace dm::gui
