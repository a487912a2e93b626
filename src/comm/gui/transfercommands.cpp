#include "comm/gui/transfercommands.h"

#include "app/errors.h"
#include "app/gui/mainwindow.h"
#include "app/gui/messagepanel.h"
#include "app/gui/settingspage.h"
#include "comm/download.h"
#include "comm/gui/commandguard.h"
#include "comm/gui/panelsink.h"
#include "comm/gui/scalesform.h"
#include "comm/gui/scalesgroup.h"
#include "comm/scaleslist.h"
#include "comm/upload.h"
#include "db/database.h"
#include "editors/gui/goodspage.h"
#include "editors/gui/keyspage.h"
#include "editors/gui/ticketpage.h"
#include "editors/gui/totalspage.h"

#include <QMessageBox>
#include <QToolButton>

namespace dm::gui {

TransferCommands::TransferCommands(TForm1& form, Database& db, ScaleDiscovery& discovery,
                                   TMessagePanel* panel, ProgramFolder folder,
                                   std::function<void()> reload, QObject* parent)
    : QObject(parent), m_form(form), m_db(db), m_discovery(discovery), m_panel(panel),
      m_folder(std::move(folder)), m_reload(std::move(reload)) {
    setObjectName(QStringLiteral("TransferCommands"));
    makePauses = [] { return std::make_unique<EventLoopPauses>(); };
    foundScales = [this] { return m_discovery.snapshot(); };
    // The filter comes off, so the new totals show with the old ones.
    clearTotalsFilter = [this] { m_form.totalsPage()->ClearTotalsFilter(); };

    const auto on = [this](QToolButton* button, void (TransferCommands::*slot)()) {
        connect(button, &QToolButton::clicked, this, slot);
    };
    on(form.goodsPage()->TransmitProductsButton, &TransferCommands::TransmitProductsButtonClick);
    on(form.ticketPage()->TransmitTicketButton, &TransferCommands::TransmitTicketButtonClick);
    on(form.keysPage()->TransmitKeypadButton, &TransferCommands::TransmitKeypadButtonClick);
    on(form.goodsPage()->ReceiveProductsButton, &TransferCommands::ReceiveProductsButtonClick);
    on(form.ticketPage()->ReceiveTicketButton, &TransferCommands::ReceiveTicketButtonClick);
    on(form.keysPage()->ReceiveKeypadButton, &TransferCommands::ReceiveKeypadButtonClick);
    on(form.totalsPage()->DownloadTotalsButton, &TransferCommands::DownloadTotalsButtonClick);

    ScalesGroupBox* group = form.settingsPage()->ScalesGroup;
    group->attach(
        &m_db, &m_discovery, [this] { return foundScales(); },
        [this](int ms) { makePauses()->pause(ms); });
    group->reportError = [this](const QString& text) { report(text); };
}

TransferCommands::~TransferCommands() = default;

void TransferCommands::setMessagePanel(TMessagePanel* panel) {
    m_panel = panel;
}

void TransferCommands::refreshScalesList() {
    if (isRunning())
        return;
    m_form.settingsPage()->ScalesGroup->RefreshScalesList();
}

bool TransferCommands::isRunning() {
    return CommandGuard::isRunning();
}

TScalesForm* TransferCommands::scalesForm() {
    if (!m_scalesForm)
        m_scalesForm = new TScalesForm(&m_form);
    return m_scalesForm;
}

TMessagePanel& TransferCommands::panel() {
    if (m_panel)
        return *m_panel;
    if (!m_ownPanel)
        m_ownPanel = new TMessagePanel(&m_form);
    return *m_ownPanel;
}

void TransferCommands::report(const QString& text) {
    if (reportError)
        reportError(text);
    else
        QMessageBox::critical(&m_form, m_form.windowTitle(), text);
}

void TransferCommands::TransmitProductsButtonClick() {
    UploadCommand();
}

void TransferCommands::TransmitTicketButtonClick() {
    UploadCommand();
}

void TransferCommands::TransmitKeypadButtonClick() {
    UploadCommand();
}

void TransferCommands::ReceiveProductsButtonClick() {
    DownloadCommand();
}

void TransferCommands::ReceiveTicketButtonClick() {
    DownloadCommand();
}

void TransferCommands::ReceiveKeypadButtonClick() {
    DownloadCommand();
}

void TransferCommands::DownloadTotalsButtonClick() {
    TotalsCommand();
}

std::optional<QStringList> TransferCommands::chooseScales(const FoundScales& found, bool single) {
    TScalesForm* dialog = scalesForm();
    dialog->SingleScaleChoice = single;
    // Scales seen for the first time get their rows now, before anything is chosen.
    dialog->setItems(PrepareScaleChoice(m_db, found));
    if (dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    QStringList addresses;
    for (int k : dialog->tickedItems())
        if (k < found.addresses.size())
            addresses.append(found.addresses[k]);
    return addresses;
}

void TransferCommands::runOnChosenScales(
    TroubleshootingFor kind, bool single,
    const std::function<void(TransferSetup&, const QStringList&)>& run) {
    const std::unique_ptr<TransferPauses> pauses = makePauses();
    PanelSink sink(panel());
    try {
        TransferPauses& waits = *pauses;
        const DiscoveryHold hold(&m_discovery, [&waits](int ms) { waits.pause(ms); });
        const FoundScales found = foundScales();
        if (found.addresses.isEmpty()) {
            sink.showTroubleshooting(TroubleshootingLines(kind));
            return;
        }
        const std::optional<QStringList> chosen = chooseScales(found, single);
        if (!chosen)
            return;
        TransferSetup setup(m_db, m_folder.exportFolder(), sink, *pauses, m_form.notifier());
        setup.timings = linkTimings;
        run(setup, *chosen);
        sink.hideMessage();
    } catch (const std::exception& e) {
        sink.hideMessage();
        report(detail::errorText(e));
    }
}

void TransferCommands::UploadCommand() {
    const CommandGuard running(m_form, m_form.transferButtons());
    if (!running || !m_db.isOpen())
        return;
    runOnChosenScales(
        TroubleshootingFor::Upload, false,
        [](TransferSetup& setup, const QStringList& chosen) { RunUpload(setup, chosen); });
}

void TransferCommands::DownloadCommand() {
    const CommandGuard running(m_form, m_form.transferButtons());
    if (!running)
        return;
    if (m_db.isOpen())
        runOnChosenScales(TroubleshootingFor::Download, true,
                          [](TransferSetup& setup, const QStringList& chosen) {
                              if (!chosen.isEmpty())
                                  RunDownload(setup, chosen.first());
                          });
    // Every page shows the database again, whatever became of the download.
    if (m_reload)
        m_reload();
}

void TransferCommands::TotalsCommand() {
    const CommandGuard running(m_form, m_form.transferButtons());
    if (!running || !m_db.isOpen())
        return;
    if (clearTotalsFilter)
        clearTotalsFilter();
    runOnChosenScales(TroubleshootingFor::Download, false,
                      [this](TransferSetup& setup, const QStringList& chosen) {
                          RunTotals(setup, chosen);
                          m_form.totalsPage()->DeleteTotalsButton->setEnabled(
                              !m_db.totals().isEmpty());
                      });
}

} // namespace dm::gui
