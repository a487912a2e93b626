#include "db/gui/managergroup.h"

#include "app/gui/toolbar.h"
#include "app/inifile.h"
#include "app/langtext.h"
#include "app/shellstate.h"
#include "app/startup.h"
#include "db/databasemanager.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <QFontMetrics>
#include <QVBoxLayout>

namespace dm::gui {

ManagerGroupBox::ManagerGroupBox(QWidget* parent) : QGroupBox(parent) {
    setObjectName(QStringLiteral("ManagerGroup"));
    auto* bar = makePageToolBar(this, QStringLiteral("ManagerToolBar"));
    OpenBaseButton = addToolButton(bar, QStringLiteral("OpenBaseButton"), Picture::Open);
    CreateBaseButton = addToolButton(bar, QStringLiteral("CreateBaseButton"), Picture::Create);
    DeleteBaseButton = addToolButton(bar, QStringLiteral("DeleteBaseButton"), Picture::Delete);
    CopyBaseButton = addToolButton(bar, QStringLiteral("CopyBaseButton"), Picture::Copy);
    BaseLabel = new QLabel(this);
    BaseLabel->setObjectName(QStringLiteral("BaseLabel"));
    DatabaseLabel = new QLabel(this);
    DatabaseLabel->setObjectName(QStringLiteral("DatabaseLabel"));
    DatabaseLabel->setStyleSheet(QStringLiteral("font-weight: bold;"));
    DatabaseLabel->setMinimumWidth(50);
    BaseListLabel = new QLabel(this);
    BaseListLabel->setObjectName(QStringLiteral("BaseListLabel"));
    DatabaseListBox = new QListWidget(this);
    DatabaseListBox->setObjectName(QStringLiteral("DatabaseListBox"));
    DatabaseListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(BaseLabel);
    layout->addWidget(DatabaseLabel);
    layout->addWidget(BaseListLabel);
    layout->addWidget(DatabaseListBox, 1);

    askOpenName = [this](const QString& title, const QString& folder) {
        return QFileDialog::getOpenFileName(this, title, folder, databaseFilter());
    };
    askSaveName = [this](const QString& title, const QString& proposed) {
        return QFileDialog::getSaveFileName(this, title, proposed, databaseFilter());
    };
    ask = [this](const QString& caption, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No,
                        this);
        return box.exec() == QMessageBox::Yes;
    };
    connect(OpenBaseButton, &QToolButton::clicked, this, &ManagerGroupBox::OpenBaseButtonClick);
    connect(CreateBaseButton, &QToolButton::clicked, this, &ManagerGroupBox::CreateBaseButtonClick);
    connect(DeleteBaseButton, &QToolButton::clicked, this, &ManagerGroupBox::DeleteBaseButtonClick);
    connect(CopyBaseButton, &QToolButton::clicked, this, &ManagerGroupBox::CopyBaseButtonClick);
    connect(DatabaseListBox, &QListWidget::itemDoubleClicked, this,
            &ManagerGroupBox::DatabaseListBoxDblClick);
}

QStringList ManagerGroupBox::history() const {
    QStringList items;
    for (int i = 0; i < DatabaseListBox->count(); ++i)
        items.append(DatabaseListBox->item(i)->text());
    return items;
}

void ManagerGroupBox::setHistory(const QStringList& items) {
    DatabaseListBox->clear();
    DatabaseListBox->addItems(items);
}

void ManagerGroupBox::fail(const QString& text) {
    if (reportError)
        reportError(text);
}

bool ManagerGroupBox::rememberCurrent() {
    QStringList items = history();
    QString error;
    const bool ok =
        rememberCurrentDatabase(items, shell().CurrentDatabasePath, folder.historyLog(), &error);
    setHistory(items);
    if (!ok)
        fail(error);
    return ok;
}

QString ManagerGroupBox::databaseFilter() {
    return LangText(u"Misc", u"DatabaseFilter", u"Database files") + QStringLiteral(" (*.sqlite)");
}

QString ManagerGroupBox::dialogFolder() const {
    return databaseDialogFolder(folder, shell().CurrentDatabasePath);
}

bool ManagerGroupBox::mayReplace(const QString& chosen, const QString& caption) {
    if (!replacesUnaskedFile(chosen))
        return true;
    const QString text =
        LangText(u"Text", u"ReplaceBase", u"This database already exists. Replace it?") +
        QStringLiteral("\r\n") + QDir::toNativeSeparators(withDatabaseExtension(chosen));
    return ask(caption, text);
}

void ManagerGroupBox::OpenBaseButtonClick() {
    const QString name =
        askOpenName(LangText(u"Misc", u"OpenDialog", u"Open database"), dialogFolder());
    if (name.isEmpty())
        return;
    rememberCurrent();
    QString error;
    if (!writeIniValue(folder.terminalIni(), QStringLiteral("Global"), QStringLiteral("Base"), name,
                       &error)) {
        fail(error);
        return;
    }
    if (reload)
        reload();
}

void ManagerGroupBox::CreateBaseButtonClick() {
    const QString title = LangText(u"Misc", u"SaveDialog", u"Create new database");
    const QString name =
        askSaveName(title, dialogFolder() + u'/' + newDatabaseName(QDateTime::currentDateTime()));
    if (name.isEmpty() || !mayReplace(name, title))
        return;
    rememberCurrent();
    // A failed copy of the template is reported and the current database stays open.
    QString error;
    if (!createDatabaseFromTemplate(folder, withDatabaseExtension(name), &error)) {
        fail(error);
        return;
    }
    if (reload)
        reload();
}

void ManagerGroupBox::DatabaseListBoxDblClick(QListWidgetItem* item) {
    if (!item)
        return;
    const QString path = item->text();
    if (!QFileInfo(path).isFile()) {
        if (notice)
            notice(LangText(u"Text", u"BaseNotFound1", u"Base") + u' ' + path + u' ' +
                   LangText(u"Text", u"BaseNotFound2", u"not found"));
        return;
    }
    rememberCurrent();
    QString error;
    if (!writeIniValue(folder.terminalIni(), QStringLiteral("Global"), QStringLiteral("Base"), path,
                       &error)) {
        fail(error);
        return;
    }
    if (reload)
        reload();
}

void ManagerGroupBox::DeleteBaseButtonClick() {
    const QList<QListWidgetItem*> selected = DatabaseListBox->selectedItems();
    if (selected.isEmpty()) {
        if (notice)
            notice(LangText(u"Text", u"BaseNotSelected", u"Base is not selected"));
        return;
    }
    QStringList names;
    for (QListWidgetItem* i : selected)
        names.append(i->text());
    const QString caption = LangText(u"Text", u"DeleteBase1", u"Delete selected base");
    const QString text = caption + QStringLiteral("\r\n") + names.join(QStringLiteral("\r\n")) +
                         QStringLiteral("\r\n") +
                         LangText(u"Text", u"DeleteBase2", u"from the list?");
    if (!ask(caption, text))
        return;
    // The files themselves stay where they are.
    for (QListWidgetItem* i : selected)
        delete i;
    QString error;
    if (!writeHistory(folder.historyLog(), history(), &error))
        fail(error);
}

void ManagerGroupBox::CopyBaseButtonClick() {
    // The current item need not be selected; with several selected, the first in the list
    // is copied.
    QListWidgetItem* item = nullptr;
    for (QListWidgetItem* i : DatabaseListBox->selectedItems())
        if (!item || DatabaseListBox->row(i) < DatabaseListBox->row(item))
            item = i;
    if (!item) {
        if (notice)
            notice(LangText(u"Text", u"BaseNotSelected", u"Base is not selected"));
        return;
    }
    const QString source = item->text();
    const QString title = LangText(u"Misc", u"CopyDialog", u"Copy database to...");
    const QString name = askSaveName(title, dialogFolder() + u'/' + copyDatabaseName(source));
    if (name.isEmpty() || !mayReplace(name, title))
        return;
    const QString target = withDatabaseExtension(name);
    // The copy replaces the file under the open connection, which would go on reading the
    // old file and refuse every write; the window then reopens the database.
    const bool ontoCurrent = isSameFile(target, shell().CurrentDatabasePath);
    QStringList items = history();
    const qsizetype listed = items.size();
    QString error;
    // Only a copy that succeeded enters the list (also when saving the list then fails).
    const bool ok = copyDatabaseFile(source, target, items, folder.historyLog(), &error);
    const bool copied = items.size() > listed;
    setHistory(items);
    if (!ok)
        fail(error);
    if (copied && ontoCurrent && reload)
        reload();
}

void ManagerGroupBox::applyLanguage() {
    const auto t = [](const char16_t* key, const char16_t* def) {
        return LangText(u"Settings", key, def);
    };
    setTitle(t(u"Manager", u"Bases manager"));
    OpenBaseButton->setText(t(u"Open", u"Open"));
    CreateBaseButton->setText(t(u"Create", u"Create"));
    DeleteBaseButton->setText(t(u"Delete", u"Delete"));
    CopyBaseButton->setText(t(u"Copy", u"Copy"));
    BaseLabel->setText(t(u"ConnectedBase", u"Current database"));
    BaseListLabel->setText(t(u"List", u"Previously used database"));
}

void ManagerGroupBox::showDatabasePath(const QString& path) {
    m_path = path;
    DatabaseLabel->setToolTip(path);
    const int width = qMax(50, DatabaseLabel->width());
    DatabaseLabel->setText(DatabaseLabel->fontMetrics().elidedText(path, Qt::ElideMiddle, width));
}

void ManagerGroupBox::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    if (!m_path.isEmpty())
        showDatabasePath(m_path);
}

} // namespace dm::gui
