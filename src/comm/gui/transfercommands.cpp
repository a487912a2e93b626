#include "comm/gui/transfercommands.h"

#include "app/errors.h"
#include "app/gui/mainwindow.h"
#include "app/gui/messagepanel.h"
#include "app/gui/settingspage.h"
#include "comm/download.h"
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

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QToolButton>

namespace dm::gui {

namespace {

bool g_running = false;

// Holds back what the user does to the main window while a run blocks in it: a click
// or key would otherwise reach handlers that change the data the run is using, and a
// close would shut the database under it. Painting and timers go on.
class WindowInputHold : public QObject {
public:
    explicit WindowInputHold(QWidget* window) : m_window(window) { qApp->installEventFilter(this); }
    ~WindowInputHold() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Close:
            if (watched == m_window) {
                event->ignore();
                return true;
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Drop:
            if (const auto* w = qobject_cast<QWidget*>(watched); w && w->window() == m_window)
                return true;
            break;
        case QEvent::Shortcut:
            if (QApplication::activeWindow() == m_window)
                return true;
            break;
        default:
            break;
        }
        return false;
    }

private:
    QWidget* m_window;
};

// The discovery does not replace the found scales while a command reads them by index.
class DiscoveryHold {
public:
    DiscoveryHold(ScaleDiscovery& discovery, TransferPauses& pauses) : m_discovery(discovery) {
        m_discovery.setEnabled(false);
        pauses.pause(100);
    }
    ~DiscoveryHold() { m_discovery.setEnabled(true); }
    DiscoveryHold(const DiscoveryHold&) = delete;
    DiscoveryHold& operator=(const DiscoveryHold&) = delete;

private:
    ScaleDiscovery& m_discovery;
};

} // namespace

// One command at a time: refuses to start while another runs, and holds the window.
class TransferCommands::Running {
public:
    explicit Running(TransferCommands& commands) : m_commands(commands) {
        if (g_running)
            return;
        g_running = m_active = true;
        for (QToolButton* b : commands.transferButtons()) {
            m_wasEnabled.append(b->isEnabled());
            b->setEnabled(false);
        }
        m_hold = std::make_unique<WindowInputHold>(&commands.m_form);
    }
    ~Running() {
        if (m_active) {
            m_hold.reset();
            const QList<QToolButton*> buttons = m_commands.transferButtons();
            for (qsizetype i = 0; i < buttons.size() && i < m_wasEnabled.size(); ++i)
                buttons[i]->setEnabled(m_wasEnabled[i]);
            g_running = false;
        }
        emit m_commands.commandFinished();
    }
    explicit operator bool() const { return m_active; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

private:
    TransferCommands& m_commands;
    bool m_active = false;
    QList<bool> m_wasEnabled;
    std::unique_ptr<WindowInputHold> m_hold;
};

TransferCommands::TransferCommands(TForm1& form, Database& db, ScaleDiscovery& discovery,
                                   TMessagePanel* panel, ProgramFolder folder,
                                   std::function<void()> reload, QObject* parent)
    : QObject(parent), m_form(form), m_db(db), m_discovery(discovery), m_panel(panel),
      m_folder(std::move(folder)), m_reload(std::move(reload)) {
    setObjectName(QStringLiteral("TransferCommands"));
    makePauses = [] { return std::make_unique<EventLoopPauses>(); };
    foundScales = [this] { return m_discovery.snapshot(); };
    clearTotalsFilter = [this] {
        TotalsPage* page = m_form.totalsPage();
        // The filter comes off, so the new totals show with the old ones.
        page->TotalsSearchEdit->clear();
        TotalsPage::setDateOf(page->TotalsDate1, QDate());
        TotalsPage::setDateOf(page->TotalsDate2, QDate());
        page->TotalsTime1->setTime(QTime(0, 0));
        page->TotalsTime2->setTime(QTime(0, 0));
    };

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
    return g_running;
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

QList<QToolButton*> TransferCommands::transferButtons() const {
    return m_form.transferButtons();
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
        DiscoveryHold hold(m_discovery, *pauses);
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
    Running running(*this);
    if (!running || !m_db.isOpen())
        return;
    runOnChosenScales(
        TroubleshootingFor::Upload, false,
        [](TransferSetup& setup, const QStringList& chosen) { RunUpload(setup, chosen); });
}

void TransferCommands::DownloadCommand() {
    Running running(*this);
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
    Running running(*this);
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
