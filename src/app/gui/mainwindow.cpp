#include "app/gui/mainwindow.h"

#include "app/errors.h"
#include "app/gui/icons.h"
#include "app/gui/messageboxnotifier.h"
#include "app/gui/messagepanel.h"
#include "app/gui/pagetabbar.h"
#include "app/gui/settingspage.h"
#include "app/gui/titledheaderview.h"
#include "app/inifile.h"
#include "app/langtext.h"
#include "app/shellstate.h"
#include "app/startup.h"
#include "app/windowplacement.h"
#include "comm/comports.h"
#include "comm/discovery.h"
#include "comm/gui/transfercommands.h"
#include "db/compaction.h"
#include "db/database.h"
#include "db/dbtexts.h"
#include "editors/goodschecks.h"
#include "editors/gui/goodspage.h"
#include "editors/gui/keyspage.h"
#include "editors/gui/ticketpage.h"
#include "editors/gui/ticketpreview.h"
#include "editors/gui/totalspage.h"
#include "export/exporttables.h"
#include "platform/help.h"
#include "platform/memory.h"
#include "scalefiles/gui/cardcommands.h"
#include "scalefiles/scalecodepage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QStatusBar>

namespace dm::gui {

namespace {
const QString kGlobal = QStringLiteral("Global");

// The hourglass while a document is made; the normal cursor comes back however the
// export ends.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// QTabWidget keeps its tab bar setter protected.
class PageControlWidget : public QTabWidget {
public:
    explicit PageControlWidget(QWidget* parent) : QTabWidget(parent) {
        setTabBar(new PageTabBar(this));
    }
};
} // namespace

TForm1::TForm1(const ProgramFolder& folder, QWidget* parent)
    : QMainWindow(parent), m_folder(folder), m_db(std::make_unique<Database>()),
      m_discovery(std::make_unique<ScaleDiscovery>()) {
    setObjectName(QStringLiteral("Form1"));
    m_ownNotifier = std::make_unique<MessageBoxNotifier>(this);
    m_notifier = m_ownNotifier.get();
    buildWindow();
    m_previews = new TicketPreviews(m_goods, m_ticket, PageControl, this);
    m_goods->redrawTicket = [this] {
        if (shell().DataLoaded)
            m_previews->DrawTicket();
    };
    m_ticket->redrawTicket = m_goods->redrawTicket;
    m_ticket->setAdminPasswordEdit(m_settings->AdminPassword);
    const auto report = [this](const QString& text) { reportError(text); };
    m_ticket->reportError = report;
    m_totals->reportError = report;
    m_goods->reportError = report;
    m_keys->reportError = report;
    m_transfers = new TransferCommands(
        *this, *m_db, *m_discovery, m_panel, m_folder, [this] { ReloadAll(); }, this);
    m_transfers->reportError = report;
    m_cards = new CardCommands(
        *this, *m_db, m_folder, [this] { ReloadAll(); }, this);
    m_cards->reportError = report;
    ManagerGroupBox* manager = m_settings->ManagerGroup;
    manager->folder = m_folder;
    manager->reportError = report;
    manager->notice = [this](const QString& text) { showShortNotice(text); };
    manager->reload = [this] { ReloadAll(); };
    m_previews->reportError = report;
}

TForm1::~TForm1() {
    // A window destroyed without being closed (tests) still stops its thread.
    StopDiscovery();
}

void TForm1::buildWindow() {
    PageControl = new PageControlWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setTabPosition(QTabWidget::West);
    PageControl->setIconSize(QSize(50, 50));
    m_goods = new GoodsPage(PageControl);
    m_ticket = new TicketPage(PageControl);
    m_keys = new KeysPage(PageControl);
    // The keys page shares the goods dataset with the goods page but titles its columns
    // from section Keys; the titles live in the grid's header, not in the model.
    m_keyTitles = new TitledHeaderView(Qt::Horizontal, m_keys->KeyProductsGrid);
    m_keyTitles->setObjectName(QStringLiteral("KeyProductsGridHeader"));
    m_keyTitles->copySettingsOf(m_keys->KeyProductsGrid->horizontalHeader());
    m_keys->KeyProductsGrid->setHorizontalHeader(m_keyTitles);
    m_totals = new TotalsPage(PageControl);
    m_settings = new SettingsPage(PageControl);
    PageControl->addTab(m_goods, pictureIcon(Picture::GoodsPage, 50), QString());
    PageControl->addTab(m_ticket, pictureIcon(Picture::TicketPage, 50), QString());
    PageControl->addTab(m_keys, pictureIcon(Picture::KeysPage, 50), QString());
    PageControl->addTab(m_totals, pictureIcon(Picture::TotalsPage, 50), QString());
    PageControl->addTab(m_settings, pictureIcon(Picture::SettingsPage, 50), QString());
    setCentralWidget(PageControl);

    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("RzStatusBar1"));
    bar->setFixedHeight(19);
    RzStatusPane1 = new QLabel(bar);
    RzStatusPane1->setObjectName(QStringLiteral("RzStatusPane1"));
    RzStatusPane2 = new QLabel(bar);
    RzStatusPane2->setObjectName(QStringLiteral("RzStatusPane2"));
    bar->addWidget(RzStatusPane1, 1);
    bar->addWidget(RzStatusPane2, 1);
    setStatusBar(bar);

    // The help button sits in the lower left corner, under the page tabs.
    HelpPanel = new QWidget(this);
    HelpPanel->setObjectName(QStringLiteral("HelpPanel"));
    HelpButton = new QToolButton(HelpPanel);
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    HelpButton->setFixedSize(55, 53);
    HelpButton->setIcon(pictureIcon(Picture::Help, 44));
    HelpButton->setIconSize(QSize(44, 44));
    HelpButton->setAutoRaise(true);
    HelpButton->setCursor(Qt::PointingHandCursor);
    auto* hl = new QHBoxLayout(HelpPanel);
    hl->setContentsMargins(0, 0, 0, 0);
    hl->addWidget(HelpButton);
    HelpPanel->setFixedSize(55, 53);

    // A client area of 894 by 562 is what a 910 by 600 window leaves inside its frame:
    // the window starts at its smallest size, centred on the screen.
    resize(894, 562);
    setMinimumSize(894, 562);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(centredTopLeft(size(), screen->availableGeometry()));

    for (QToolButton* b : transferButtons())
        b->setEnabled(false);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(300);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

    connect(PageControl, &QTabWidget::currentChanged, this, &TForm1::PageControlPageChange);
    connect(m_settings->LangCombo, &QComboBox::currentIndexChanged, this, &TForm1::LangComboChange);
    connect(HelpButton, &QToolButton::clicked, this, &TForm1::HelpButtonClick);
    connect(m_goods->ProductsToWordButton, &QToolButton::clicked, this,
            &TForm1::ProductsToWordButtonClick);
    connect(m_totals->ExportTotalsButton, &QToolButton::clicked, this,
            &TForm1::ExportTotalsButtonClick);
}

QList<QToolButton*> TForm1::transferButtons() const {
    return {m_goods->TransmitProductsButton, m_goods->ReceiveProductsButton,
            m_ticket->TransmitTicketButton,  m_ticket->ReceiveTicketButton,
            m_keys->TransmitKeypadButton,    m_keys->ReceiveKeypadButton,
            m_totals->DownloadTotalsButton};
}

void TForm1::FormCreate() {
    ShellState& s = shell();
    s.ComPortList = probeComPorts();
    s.MessageLines.clear();
    ReloadAll();
    PageControl->setCurrentIndex(GoodsPageIndex);
    Timer1->start();
    platform::trimWorkingSet();
}

bool TForm1::ReloadAll() {
    ShellState& s = shell();
    s.DataLoaded = false;
    IniFile ini(m_folder.terminalIni());
    m_db->close();

    // Database file: Base of terminal.ini, or the default one made from the template.
    const DatabaseChoice choice = chooseDatabaseFile(m_folder, ini);
    s.CurrentDatabasePath = choice.path;
    QDir().mkpath(m_folder.systemDir());
    QString iniError;
    if (!ini.save(&iniError))
        reportError(m_folder.terminalIni() + QStringLiteral(": ") + iniError);

    try {
        m_db->open(s.CurrentDatabasePath);
    } catch (const UserError& e) {
        attachModels();
        // The window still gets its texts, so that the report and the database manager
        // can be read.
        fillLanguageChoice();
        selectLanguage();
        LoadLanguage();
        // No texts of the database left before stay on the ticket page: without a
        // database its fields are empty and disabled.
        m_ticket->LoadTicketPage();
        // A template that could not be copied is why the default database is missing.
        reportError(choice.copyError.isEmpty()
                        ? e.text()
                        : dbtext::createFailed(choice.path, choice.copyError));
        return false;
    }
    attachModels();
    bindPages();
    m_settings->ManagerGroup->showDatabasePath(s.CurrentDatabasePath);

    bool historyExists = false;
    const QStringList history = readHistory(m_folder.historyLog(), &historyExists);
    if (historyExists) {
        m_settings->ManagerGroup->DatabaseListBox->clear();
        m_settings->ManagerGroup->DatabaseListBox->addItems(history);
    }

    fillLanguageChoice();
    selectLanguage();
    LoadLanguage();

    // The ticket page sets TicketOperatorName to operator 1 and stores missing passwords.
    m_ticket->LoadTicketPage();

    const bool noGoods = m_db->products().isEmpty();
    if (noGoods) {
        m_goods->DeleteProductButton->setEnabled(false);
        m_goods->ProductsGrid->setEnabled(false);
    }
    m_keys->ShowKeypad(1);
    fillSearchChoices();
    m_settings->ManagerGroup->showDatabasePath(s.CurrentDatabasePath);
    m_previews->DrawSampleTicket();
    m_previews->DrawTicket();
    if (!noGoods) {
        m_goods->ProductsGrid->setEnabled(true);
        m_goods->DeleteProductButton->setEnabled(true);
    }
    s.DataLoaded = true;
    StartDiscovery();
    return true;
}

void TForm1::StartDiscovery() {
    // The port list is complete before the thread first reads it and never changes.
    m_discovery->setComPorts(shell().ComPortList);
    m_discovery->start();
}

void TForm1::StopDiscovery() {
    if (m_discovery)
        m_discovery->stop();
}

void TForm1::attachModels() {
    const bool open = m_db->isOpen();
    m_goods->ProductsGrid->setModel(open ? &m_db->products() : nullptr);
    m_keys->KeyProductsGrid->setModel(open ? &m_db->products() : nullptr);
    m_keys->KeypadsGrid->setModel(open ? &m_db->keypads() : nullptr);
    m_settings->ScalesGroup->ScalesGrid->setModel(open ? &m_db->scales() : nullptr);
    m_totals->TotalsGrid->setModel(open ? &m_db->totals() : nullptr);
    if (!open)
        return;
    // Fields that the grids keep out of sight: the goods and scales row IDs, the keypad
    // ID and the totals' source address.
    m_goods->ProductsGrid->setColumnHidden(ProductsDataSet::ID, true);
    m_keys->KeyProductsGrid->setColumnHidden(ProductsDataSet::ID, true);
    m_keys->KeypadsGrid->setColumnHidden(KeypadsDataSet::ID, true);
    m_settings->ScalesGroup->ScalesGrid->setColumnHidden(ScalesDataSet::ID, true);
    m_totals->TotalsGrid->setColumnHidden(TotalsDataSet::IP, true);
}

void TForm1::bindPages() {
    InstallGoodsChecks(*m_db, *m_notifier);
    m_goods->bind(m_db.get());
    m_ticket->bind(m_db.get());
    m_keys->bind(m_db.get());
    m_totals->bind(m_db.get());
    m_previews->bind(m_db.get());
}

void TForm1::setMessagePanel(TMessagePanel* panel) {
    m_panel = panel;
    m_transfers->setMessagePanel(panel);
}

TMessagePanel& TForm1::messagePanel() {
    if (m_panel)
        return *m_panel;
    if (!m_ownPanel)
        m_ownPanel = new TMessagePanel(this);
    return *m_ownPanel;
}

void TForm1::setNotifier(Notifier* notifier) {
    m_notifier = notifier ? notifier : m_ownNotifier.get();
    if (m_db->isOpen())
        InstallGoodsChecks(*m_db, *m_notifier);
}

void TForm1::fillLanguageChoice() {
    // Filling the combo must not count as the user choosing a language.
    m_fillingLanguages = true;
    QComboBox* combo = m_settings->LangCombo;
    combo->clear();
    const QStringList names = listLanguageFolders(m_folder);
    for (int i = 0; i < names.size(); ++i) {
        const QString flag =
            m_folder.languagesDir() + u'/' + names[i] + QStringLiteral("/Flag.bmp");
        const QPixmap pm(flag);
        // A folder without a readable flag is still offered, without a picture.
        const QIcon icon = pm.isNull() ? QIcon() : QIcon(pm);
        if (i < LangImageList.size())
            LangImageList[i] = icon;
        else
            LangImageList.append(icon);
        combo->addItem(LangImageList[i], names[i]);
    }
    m_fillingLanguages = false;
}

void TForm1::selectLanguage() {
    ShellState& s = shell();
    IniFile ini(m_folder.terminalIni());
    const QString wanted = configuredLanguageName(ini);
    QStringList available;
    for (int i = 0; i < m_settings->LangCombo->count(); ++i)
        available.append(m_settings->LangCombo->itemText(i));
    const QString name = resolveLanguageName(wanted, available);
    m_fillingLanguages = true;
    m_settings->LangCombo->setCurrentIndex(available.indexOf(name));
    m_fillingLanguages = false;
    s.LanguageName = name;
    if (!name.isEmpty()) {
        ini.setValue(kGlobal, QStringLiteral("Language"), name);
        QString error;
        if (!ini.save(&error))
            reportError(m_folder.terminalIni() + QStringLiteral(": ") + error);
        s.LanguageFolder = m_folder.languagesDir() + u'/' + name;
    } else {
        s.LanguageFolder.clear();
    }
}

void TForm1::LoadLanguage() {
    ShellState& s = shell();
    if (s.LanguageFolder.isEmpty())
        currentLanguageFile().clear();
    else
        currentLanguageFile().open(s.LanguageFolder);
    SelectScaleCodePage(currentLanguageFile().languageId());

    PageControl->setTabText(GoodsPageIndex, LangText(u"Main", u"Products", u"Products"));
    PageControl->setTabText(TicketPageIndex, LangText(u"Main", u"Ticket", u"Ticket"));
    PageControl->setTabText(KeysPageIndex, LangText(u"Main", u"Keys", u"Keys"));
    PageControl->setTabText(TotalsPageIndex, LangText(u"Main", u"Totals", u"Totals"));
    PageControl->setTabText(SettingsPageIndex, LangText(u"Main", u"Settings", u"Settings"));
    m_goods->applyLanguage();
    m_ticket->applyLanguage();
    m_keys->applyLanguage();
    m_totals->applyLanguage();
    m_settings->applyLanguage();
    applyColumnTitles();

    setWindowTitle(LangText(u"Misc", u"CaptionQEL", u"Data Manager QEL") + QStringLiteral(" (v") +
                   QStringLiteral(DM_VERSION) + QStringLiteral(") - [") + s.CurrentDatabasePath +
                   u']');
}

void TForm1::applyColumnTitles() {
    m_keyTitles->setTitles(QStringList{QString()} + m_keys->columnTitles());
    if (!m_db->isOpen())
        return;
    m_db->products().setColumnTitles(QStringList{QString()} + m_goods->columnTitles());
    m_db->keypads().setColumnTitles({QString(), LangText(u"Misc", u"Keypad", u"Keypad")});
    m_db->scales().setColumnTitles(m_settings->ScalesGroup->columnTitles());
    m_db->totals().setColumnTitles(m_totals->columnTitles() + QStringList{QString()});
}

void TForm1::fillSearchChoices() {
    QComboBox* search = m_goods->SearchCombo;
    search->clear();
    search->addItems(m_goods->columnTitles());
    search->setCurrentIndex(1);
    QComboBox* totals = m_totals->TotalsSearchCombo;
    totals->clear();
    totals->addItems(m_totals->columnTitles().mid(0, 3));
    totals->setCurrentIndex(1);
}

void TForm1::PageControlPageChange(int index) {
    if (m_db->isOpen())
        m_goods->postPendingEdit();
    if ((index == GoodsPageIndex || index == TicketPageIndex) && shell().DataLoaded)
        m_previews->DrawTicket();
    if (index == SettingsPageIndex && m_db->isOpen())
        m_transfers->refreshScalesList();
    if (index == TotalsPageIndex && m_db->isOpen() && m_db->totals().isEmpty())
        m_totals->DeleteTotalsButton->setEnabled(false);
    if (index == KeysPageIndex && m_db->isOpen()) {
        // The keypad page shows all goods.
        m_db->products().clearFilter();
        m_goods->SearchEdit->clear();
    }
}

void TForm1::LangComboChange(int index) {
    if (m_fillingLanguages || index < 0)
        return;
    QString error;
    if (!writeIniValue(m_folder.terminalIni(), kGlobal, QStringLiteral("Language"),
                       m_settings->LangCombo->itemText(index), &error)) {
        reportError(m_folder.terminalIni() + QStringLiteral(": ") + error);
        return;
    }
    ReloadAll();
}

void TForm1::HelpButtonClick() {
    static const char16_t* const keys[] = {u"Goods", u"Ticket", u"Keys", u"Totals", u"Settings"};
    static const char16_t* const defaults[] = {u"Description\\Goods", u"Description\\Ticket",
                                               u"Description\\Keys", u"Description\\Totals",
                                               u"Description\\Settings"};
    const int page = qBound(0, PageControl->currentIndex(), 4);
    platform::openHelpTopic(shell().LanguageFolder, LangText(u"Help", keys[page], defaults[page]));
}

void TForm1::Timer1Timer() {
    // The transfer buttons wait for the end of the first discovery pass.
    if (!m_discovery->isDone())
        return;
    for (QToolButton* b : transferButtons())
        b->setEnabled(true);
    Timer1->stop();
}

void TForm1::ProductsToWordButtonClick() {
    if (!m_db->isOpen())
        return;
    const BusyCursor busy;
    try {
        // Exactly the goods shown: the list's filter and order.
        exportGoodsView(m_db->products(), m_goods->columnTitles());
    } catch (const UserError& e) {
        reportError(e.text());
    }
}

void TForm1::ExportTotalsButtonClick() {
    if (!m_db->isOpen())
        return;
    const BusyCursor busy;
    try {
        exportTotalsView(m_db->totals(), m_totals->columnTitles());
    } catch (const UserError& e) {
        reportError(e.text());
    }
}

void TForm1::FormClose() {
    if (m_closed)
        return;
    m_closed = true;
    Timer1->stop();
    if (m_panel) {
        shell().MessageLines.append(LangText(u"Text", u"Closing", u"Saving database..."));
        m_panel->ShowMessagePanel(100, 50, QColor(panelcolour::MoneyGreen),
                                  QColor(panelcolour::Text), PanelAlignment::Centre, false,
                                  shell().MessageLines);
    }
    const QString path = m_db->isOpen() ? m_db->path() : QString();
    m_db->close();
    StopDiscovery();
    if (!path.isEmpty()) {
        QString error;
        if (!CompactDatabase(path, &error))
            reportError(error);
    }
    if (m_panel)
        m_panel->hidePanel();
    platform::trimWorkingSet();
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    HelpPanel->move(4, height() - statusBar()->height() - HelpPanel->height() - 4);
    HelpPanel->raise();
}

void TForm1::showShortNotice(const QString& text) {
    if (!m_panel)
        return;
    shell().MessageLines.append(text);
    m_panel->ShowMessagePanel(100, 50, QColor(panelcolour::Pink), QColor(panelcolour::Text),
                              PanelAlignment::Centre, false, shell().MessageLines);
    QCoreApplication::processEvents();
    QEventLoop wait;
    QTimer::singleShot(1000, &wait, &QEventLoop::quit);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    m_panel->hidePanel();
}

void TForm1::reportError(const QString& text) {
    if (m_reportError)
        m_reportError(text);
    else
        QMessageBox::critical(this, windowTitle(), text);
}

} // namespace dm::gui
