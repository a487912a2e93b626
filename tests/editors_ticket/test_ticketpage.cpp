#include "app/gui/mainwindow.h"
#include "app/gui/settingspage.h"
#include "app/inifile.h"
#include "app/shellstate.h"
#include "db/database.h"
#include "editors/gui/goodspage.h"
#include "editors/gui/ticketpage.h"
#include "editors/gui/ticketpreview.h"
#include "editors/ticketeditor.h"
#include "guisupport.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QSignalBlocker>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <gtest/gtest.h>

using namespace dm;
using dm::gui::TForm1;
using dm::gui::TicketPage;

namespace {

const QColor kRed(255, 0, 0);
const QColor kPink(255, 204, 255);

QColor ground(const QLineEdit* e) {
    return e->palette().color(QPalette::Base);
}

// The ticket page of a real window on a scratch program folder.
class TicketPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(writeIniValue(folder.path(QStringLiteral("System/terminal.ini")),
                                  QStringLiteral("Global"), QStringLiteral("Language"),
                                  QStringLiteral("ENG")));
        dbPath = folder.path(QStringLiteral("Data/Base.sqlite"));
        QDir().mkpath(folder.path(QStringLiteral("Data")));
        ASSERT_TRUE(QFile::copy(folder.path(QStringLiteral("System/Default.sqlite")), dbPath));
        QFile::setPermissions(dbPath, QFile::ReadOwner | QFile::WriteOwner);
    }
    void TearDown() override { form.reset(); }

    // Changes the database file before the window opens it (or behind its back).
    void sql(const QStringList& statements) {
        const QString name = QStringLiteral("ticketpage-test");
        {
            QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            c.setDatabaseName(dbPath);
            ASSERT_TRUE(c.open());
            for (const QString& s : statements) {
                QSqlQuery q(c);
                ASSERT_TRUE(q.exec(s))
                    << s.toStdString() << ": " << q.lastError().text().toStdString();
            }
        }
        QSqlDatabase::removeDatabase(name);
    }
    // One field of a row as the file holds it ("<null>" for NULL).
    QString stored(const QString& table, const QString& field, int id) {
        const QString name = QStringLiteral("ticketpage-read");
        QString value = QStringLiteral("<no row>");
        {
            QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            c.setDatabaseName(dbPath);
            EXPECT_TRUE(c.open());
            QSqlQuery q(c);
            q.prepare(
                QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE \"ID\" = ?").arg(field, table));
            q.addBindValue(id);
            if (q.exec() && q.next())
                value = q.value(0).isNull() ? QStringLiteral("<null>") : q.value(0).toString();
        }
        QSqlDatabase::removeDatabase(name);
        return value;
    }

    void start() {
        form = std::make_unique<TForm1>(ProgramFolder(folder.root()));
        test::keepDiscoveryQuiet(*form);
        const auto collect = [this](const QString& e) { errors.append(e); };
        form->setErrorReporter(collect);
        page = form->ticketPage();
        page->reportError = collect;
        form->previews().reportError = collect;
        page->setAdminPasswordEdit(form->settingsPage()->AdminPassword);
        form->FormCreate();
        form->pageControl()->setCurrentIndex(TForm1::TicketPageIndex);
    }
    QLineEdit* edit(const char* name) const {
        auto* e = form->findChild<QLineEdit*>(QString::fromLatin1(name));
        EXPECT_NE(e, nullptr) << name;
        return e;
    }
    static void retype(QLineEdit* e, const QString& text) {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, text);
    }
    QLineEdit* admin() const { return form->settingsPage()->AdminPassword; }

    test::ScratchProgramFolder folder;
    QString dbPath;
    QStringList errors;
    std::unique_ptr<TForm1> form;
    TicketPage* page = nullptr;
};

TEST_F(TicketPageTest, FreshDatabaseGetsNineDistinctDefaultsAndWritesNothingElse) {
    // Record every write the loading makes.
    sql({QStringLiteral("UPDATE \"TicketLines\" SET \"Data\" = 'Twenty characters..' || '!' "
                        "WHERE \"ID\" = 1"),
         QStringLiteral("CREATE TABLE writes (what TEXT)"),
         QStringLiteral("CREATE TRIGGER w1 AFTER UPDATE ON \"TicketLines\" BEGIN "
                        "INSERT INTO writes VALUES ('line ' || NEW.\"ID\"); END"),
         QStringLiteral("CREATE TRIGGER w2 AFTER UPDATE OF \"Name\" ON \"Salesmen\" BEGIN "
                        "INSERT INTO writes VALUES ('name ' || NEW.\"ID\"); END"),
         QStringLiteral("CREATE TRIGGER w3 AFTER UPDATE OF \"Password\" ON \"Salesmen\" BEGIN "
                        "INSERT INTO writes VALUES ('password ' || NEW.\"ID\"); END")});
    start();
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();

    QStringList shown;
    for (QLineEdit* e : page->PasswordEdits)
        shown << e->text();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                  QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
                                  QStringLiteral("7"), QStringLiteral("8")}));
    EXPECT_EQ(admin()->text(), DefaultPassword(0));
    EXPECT_FALSE(shown.contains(admin()->text()));
    EXPECT_FALSE(page->matchErrorShown());
    EXPECT_FALSE(page->emptyErrorShown());
    EXPECT_TRUE(page->MatchError->isHidden());
    EXPECT_TRUE(page->EmptyError->isHidden());
    for (int id = 0; id <= 8; ++id)
        EXPECT_EQ(stored(QStringLiteral("Salesmen"), QStringLiteral("Password"), id),
                  DefaultPassword(id));

    // A loaded text longer than the typing limit is shown whole and in the normal colour.
    QLineEdit* header1 = edit("Header1Edit");
    EXPECT_EQ(header1->text().size(), 20);
    EXPECT_NE(ground(header1), kRed);
    EXPECT_EQ(shell().TicketOperatorName, edit("Oper1Edit")->text());

    QStringList writes;
    {
        const QString name = QStringLiteral("writes");
        {
            QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            c.setDatabaseName(dbPath);
            ASSERT_TRUE(c.open());
            QSqlQuery q(c);
            ASSERT_TRUE(q.exec(QStringLiteral("SELECT what FROM writes ORDER BY rowid")));
            while (q.next())
                writes << q.value(0).toString();
        }
        QSqlDatabase::removeDatabase(name);
    }
    QStringList expected;
    for (int id = 0; id <= 8; ++id)
        expected << QStringLiteral("password %1").arg(id);
    EXPECT_EQ(writes, expected);
}

TEST_F(TicketPageTest, PasswordColoursAndBlinkingWarnings) {
    start();
    EXPECT_EQ(page->MatchError->palette().color(QPalette::Window), kRed);
    EXPECT_EQ(page->EmptyError->palette().color(QPalette::Window), kPink);
    EXPECT_EQ(page->MatchError->text(), QStringLiteral("Error: passwords match"));
    EXPECT_EQ(page->EmptyError->text(), QStringLiteral("Error: empty password"));

    QLineEdit* p2 = edit("Password2Edit");
    QLineEdit* p3 = edit("Password3Edit");
    QLineEdit* p5 = edit("Password5Edit");
    const QColor normal = ground(p2);

    retype(p3, QString());
    EXPECT_EQ(ground(p3), kPink);
    EXPECT_TRUE(page->emptyErrorShown());
    EXPECT_FALSE(page->EmptyError->isHidden());
    EXPECT_TRUE(page->MatchError->isHidden());
    EXPECT_EQ(stored(QStringLiteral("Salesmen"), QStringLiteral("Password"), 3), QString());

    retype(p2, QStringLiteral("42"));
    retype(p5, QStringLiteral("42"));
    EXPECT_EQ(ground(p2), kRed);
    EXPECT_EQ(ground(p5), kRed);
    EXPECT_EQ(ground(p3), kPink);
    EXPECT_TRUE(page->matchErrorShown());
    EXPECT_FALSE(page->MatchError->isHidden());
    EXPECT_EQ(stored(QStringLiteral("Salesmen"), QStringLiteral("Password"), 5),
              QStringLiteral("42"));

    // Both warnings blink while they are on.
    EXPECT_TRUE(page->ErrorBlinkTimer->isActive());
    page->BlinkErrors();
    EXPECT_TRUE(page->MatchError->isHidden());
    EXPECT_TRUE(page->EmptyError->isHidden());
    page->BlinkErrors();
    EXPECT_FALSE(page->MatchError->isHidden());
    EXPECT_FALSE(page->EmptyError->isHidden());

    retype(p3, QStringLiteral("3"));
    EXPECT_EQ(ground(p3), normal);
    EXPECT_FALSE(page->emptyErrorShown());
    page->BlinkErrors();
    EXPECT_TRUE(page->EmptyError->isHidden()) << "a warning that is off stays off";

    retype(p5, QStringLiteral("5"));
    EXPECT_EQ(ground(p2), normal);
    EXPECT_EQ(ground(p5), normal);
    EXPECT_TRUE(page->MatchError->isHidden());
    EXPECT_FALSE(page->ErrorBlinkTimer->isActive());
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(TicketPageTest, PasswordsTakeOnlySixDigits) {
    start();
    const struct {
        QLineEdit* edit;
        int row;
    } fields[] = {{edit("Password1Edit"), 1}, {edit("Password8Edit"), 8}, {admin(), 0}};
    for (const auto& f : fields) {
        const QString before = f.edit->text();
        f.edit->setFocus();
        f.edit->end(false);
        QTest::keyClicks(f.edit, QStringLiteral("a b-"));
        EXPECT_EQ(f.edit->text(), before) << f.row;
        f.edit->insert(QStringLiteral("7x")); // a paste of a mix is refused whole
        EXPECT_EQ(f.edit->text(), before) << f.row;
        QTest::keyClicks(f.edit, QStringLiteral("1234567"));
        EXPECT_EQ(f.edit->text(), (before + QStringLiteral("1234567")).left(6)) << f.row;
        EXPECT_EQ(stored(QStringLiteral("Salesmen"), QStringLiteral("Password"), f.row),
                  f.edit->text())
            << f.row;
    }
}

TEST_F(TicketPageTest, LineLimitsAndRedMarks) {
    const QString twenty = QStringLiteral("abcdefghijklmnopqrst");
    sql({QStringLiteral("UPDATE \"TicketLines\" SET \"Data\" = '%1' WHERE \"ID\" = 1").arg(twenty),
         QStringLiteral("UPDATE \"Salesmen\" SET \"Name\" = '%1' WHERE \"ID\" = 2")
             .arg(QString(37, u'n'))});
    start();
    QLineEdit* header1 = edit("Header1Edit");
    const QColor normal = ground(edit("Header2Edit"));
    header1->setFocus();
    header1->end(false);
    QTest::keyClick(header1, Qt::Key_U);
    EXPECT_EQ(header1->text(), twenty) << "a text beyond the limit does not grow";
    EXPECT_EQ(ground(header1), normal);

    QTest::keyClick(header1, Qt::Key_Backspace);
    EXPECT_EQ(header1->text(), twenty.left(19));
    EXPECT_EQ(ground(header1), kRed);
    EXPECT_EQ(stored(QStringLiteral("TicketLines"), QStringLiteral("Data"), 1), twenty.left(19));
    QTest::keyClick(header1, Qt::Key_Backspace);
    EXPECT_EQ(ground(header1), normal);

    retype(header1, twenty);
    EXPECT_EQ(header1->text(), twenty.left(16));
    EXPECT_EQ(stored(QStringLiteral("TicketLines"), QStringLiteral("Data"), 1), twenty.left(16));

    const struct {
        const char* name;
        int limit;
    } limits[] = {{"Header2Edit", 25}, {"Header5Edit", 32}, {"Info3Edit", 32}, {"Oper8Edit", 32}};
    for (const auto& l : limits) {
        retype(edit(l.name), QString(l.limit + 3, u'x'));
        EXPECT_EQ(edit(l.name)->text().size(), l.limit) << l.name;
    }

    QLineEdit* oper2 = edit("Oper2Edit");
    EXPECT_EQ(oper2->text().size(), 37);
    EXPECT_EQ(ground(oper2), normal);
    oper2->setFocus();
    oper2->end(false);
    QTest::keyClick(oper2, Qt::Key_Backspace);
    EXPECT_EQ(ground(oper2), normal) << "36 characters are not over the threshold";
    EXPECT_EQ(shell().TicketOperatorName, QString(36, u'n'));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(TicketPageTest, ClearEmptiesTheLinesAndNamesAndRestoresDefaultPasswords) {
    sql({QStringLiteral("UPDATE \"TicketLines\" SET \"Data\" = NULL WHERE \"ID\" = 6"),
         QStringLiteral("UPDATE \"TicketLines\" SET \"Data\" = 'Shop' WHERE \"ID\" = 1"),
         QStringLiteral("UPDATE \"Salesmen\" SET \"Password\" = '77' WHERE \"ID\" = 0"),
         QStringLiteral("UPDATE \"Salesmen\" SET \"Password\" = '123' WHERE \"ID\" = 4")});
    start();
    retype(edit("Password2Edit"), QStringLiteral("123"));
    ASSERT_TRUE(page->matchErrorShown());

    QTest::mouseClick(page->ClearTicketButton, Qt::LeftButton);
    for (int id = 1; id <= 8; ++id)
        EXPECT_EQ(stored(QStringLiteral("TicketLines"), QStringLiteral("Data"), id), QString())
            << "line " << id;
    for (int id = 1; id <= 8; ++id) {
        EXPECT_EQ(stored(QStringLiteral("Salesmen"), QStringLiteral("Name"), id), QString()) << id;
        EXPECT_EQ(stored(QStringLiteral("Salesmen"), QStringLiteral("Password"), id),
                  DefaultPassword(id))
            << id;
        EXPECT_EQ(page->PasswordEdits[id - 1]->text(), DefaultPassword(id));
        EXPECT_TRUE(page->OperEdits[id - 1]->text().isEmpty());
    }
    EXPECT_EQ(stored(QStringLiteral("Salesmen"), QStringLiteral("Password"), 0),
              QStringLiteral("77"));
    EXPECT_EQ(admin()->text(), QStringLiteral("77"));
    EXPECT_FALSE(page->matchErrorShown());
    EXPECT_TRUE(shell().TicketOperatorName.isEmpty());
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(TicketPageTest, OperatorFieldChoosesTheOperatorOnTheTicket) {
    start();
    const QImage before = page->TicketDrawImage->pixmap().toImage();
    ASSERT_FALSE(before.isNull());
    QLineEdit* oper3 = edit("Oper3Edit");
    const QString name = oper3->text();
    QTest::mouseClick(oper3, Qt::LeftButton);
    EXPECT_EQ(shell().TicketOperatorName, name);
    EXPECT_EQ(oper3->text(), name);
    EXPECT_NE(page->TicketDrawImage->pixmap().toImage(), before) << "3# 123 is drawn";

    retype(edit("Oper5Edit"), QStringLiteral("Maria"));
    EXPECT_EQ(shell().TicketOperatorName, QStringLiteral("Maria"));
    EXPECT_EQ(stored(QStringLiteral("Salesmen"), QStringLiteral("Name"), 5),
              QStringLiteral("Maria"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(TicketPageTest, RefusedStoreIsReportedAndTheEditorsStayLive) {
    start();
    sql({QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON \"TicketLines\" "
                        "BEGIN SELECT RAISE(ABORT, 'refused'); END")});
    const QString before = stored(QStringLiteral("TicketLines"), QStringLiteral("Data"), 2);
    QTest::keyClick(edit("Header2Edit"), Qt::Key_X);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("refused"))) << errors[0].toStdString();
    EXPECT_TRUE(shell().DataLoaded);
    EXPECT_EQ(stored(QStringLiteral("TicketLines"), QStringLiteral("Data"), 2), before);

    retype(edit("Oper1Edit"), QStringLiteral("Ivan"));
    EXPECT_EQ(stored(QStringLiteral("Salesmen"), QStringLiteral("Name"), 1),
              QStringLiteral("Ivan"));

    // The clear command stores field after field; its failures are shown once.
    errors.clear();
    QTest::mouseClick(page->ClearTicketButton, Qt::LeftButton);
    EXPECT_EQ(errors.size(), 1) << errors.join(u'\n').toStdString();
    EXPECT_TRUE(shell().DataLoaded);
    EXPECT_EQ(stored(QStringLiteral("Salesmen"), QStringLiteral("Name"), 1), QString());
}

TEST_F(TicketPageTest, ReloadShowsTheNewDatabaseEvenWhenItsDefaultsCannotBeStored) {
    start();
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    // A second database whose passwords cannot be written, one of them empty.
    const QString second = folder.path(QStringLiteral("Data/Second.sqlite"));
    ASSERT_TRUE(QFile::copy(folder.path(QStringLiteral("System/Default.sqlite")), second));
    QFile::setPermissions(second, QFile::ReadOwner | QFile::WriteOwner);
    dbPath = second;
    sql({QStringLiteral("UPDATE \"TicketLines\" SET \"Data\" = 'Line ' || \"ID\""),
         QStringLiteral("UPDATE \"Salesmen\" SET \"Name\" = 'Clerk ' || \"ID\", "
                        "\"Password\" = '7' || \"ID\""),
         QStringLiteral("UPDATE \"Salesmen\" SET \"Password\" = '' WHERE \"ID\" IN (0, 4)"),
         QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON \"Salesmen\" "
                        "BEGIN SELECT RAISE(ABORT, 'refused'); END")});
    ASSERT_TRUE(writeIniValue(folder.path(QStringLiteral("System/terminal.ini")),
                              QStringLiteral("Global"), QStringLiteral("Base"), second));
    form->ReloadAll();

    ASSERT_EQ(errors.size(), 1) << errors.join(u'\n').toStdString();
    EXPECT_TRUE(errors[0].contains(QStringLiteral("refused"))) << errors[0].toStdString();
    for (int n = 1; n <= 8; ++n) {
        QLineEdit* line = n <= 5 ? page->HeaderEdits[n - 1] : page->InfoEdits[n - 6];
        EXPECT_EQ(line->text(), QStringLiteral("Line %1").arg(n));
        EXPECT_EQ(page->OperEdits[n - 1]->text(), QStringLiteral("Clerk %1").arg(n));
        // The password that could not get its default shows what is stored.
        EXPECT_EQ(page->PasswordEdits[n - 1]->text(),
                  n == 4 ? QString() : QStringLiteral("7%1").arg(n));
        EXPECT_TRUE(page->PasswordEdits[n - 1]->isEnabled());
    }
    EXPECT_EQ(admin()->text(), QString());
    EXPECT_EQ(ground(page->PasswordEdits[3]), kPink);
    EXPECT_TRUE(page->emptyErrorShown());
    EXPECT_EQ(shell().TicketOperatorName, QStringLiteral("Clerk 1"));
    EXPECT_TRUE(shell().DataLoaded);

    // The next edit stores into the new database and keeps its other lines.
    retype(edit("Header2Edit"), QStringLiteral("New 2"));
    EXPECT_EQ(stored(QStringLiteral("TicketLines"), QStringLiteral("Data"), 2),
              QStringLiteral("New 2"));
    EXPECT_EQ(stored(QStringLiteral("TicketLines"), QStringLiteral("Data"), 1),
              QStringLiteral("Line 1"));
    EXPECT_EQ(errors.size(), 1);

    // Without a database nothing of the last one stays on the page, and nothing is typed.
    form->database().close();
    page->LoadTicketPage();
    for (QLineEdit* e : page->HeaderEdits + page->OperEdits + page->PasswordEdits +
                            page->InfoEdits + QList<QLineEdit*>{admin()}) {
        EXPECT_TRUE(e->text().isEmpty()) << e->objectName().toStdString();
        EXPECT_FALSE(e->isEnabled()) << e->objectName().toStdString();
    }
    EXPECT_FALSE(page->emptyErrorShown());
    EXPECT_TRUE(shell().TicketOperatorName.isEmpty());
}

TEST_F(TicketPageTest, EachFieldHasItsNamedChangeHandler) {
    start();
    using Handler = void (TicketPage::*)();
    const struct {
        const char* edit;
        const char* slot;
        Handler handler;
        const char* table;
        const char* field;
        int id;
    } fields[] = {
        {"Header1Edit", "Header1EditChange", &TicketPage::Header1EditChange, "TicketLines", "Data",
         1},
        {"Header2Edit", "Header2EditChange", &TicketPage::Header2EditChange, "TicketLines", "Data",
         2},
        {"Header3Edit", "Header3EditChange", &TicketPage::Header3EditChange, "TicketLines", "Data",
         3},
        {"Header4Edit", "Header4EditChange", &TicketPage::Header4EditChange, "TicketLines", "Data",
         4},
        {"Header5Edit", "Header5EditChange", &TicketPage::Header5EditChange, "TicketLines", "Data",
         5},
        {"Info1Edit", "Info1EditChange", &TicketPage::Info1EditChange, "TicketLines", "Data", 6},
        {"Info2Edit", "Info2EditChange", &TicketPage::Info2EditChange, "TicketLines", "Data", 7},
        {"Info3Edit", "Info3EditChange", &TicketPage::Info3EditChange, "TicketLines", "Data", 8},
        {"Oper1Edit", "Oper1EditChange", &TicketPage::Oper1EditChange, "Salesmen", "Name", 1},
        {"Oper2Edit", "Oper2EditChange", &TicketPage::Oper2EditChange, "Salesmen", "Name", 2},
        {"Oper3Edit", "Oper3EditChange", &TicketPage::Oper3EditChange, "Salesmen", "Name", 3},
        {"Oper4Edit", "Oper4EditChange", &TicketPage::Oper4EditChange, "Salesmen", "Name", 4},
        {"Oper5Edit", "Oper5EditChange", &TicketPage::Oper5EditChange, "Salesmen", "Name", 5},
        {"Oper6Edit", "Oper6EditChange", &TicketPage::Oper6EditChange, "Salesmen", "Name", 6},
        {"Oper7Edit", "Oper7EditChange", &TicketPage::Oper7EditChange, "Salesmen", "Name", 7},
        {"Oper8Edit", "Oper8EditChange", &TicketPage::Oper8EditChange, "Salesmen", "Name", 8},
        {"Password1Edit", "Password1EditChange", &TicketPage::Password1EditChange, "Salesmen",
         "Password", 1},
        {"Password2Edit", "Password2EditChange", &TicketPage::Password2EditChange, "Salesmen",
         "Password", 2},
        {"Password3Edit", "Password3EditChange", &TicketPage::Password3EditChange, "Salesmen",
         "Password", 3},
        {"Password4Edit", "Password4EditChange", &TicketPage::Password4EditChange, "Salesmen",
         "Password", 4},
        {"Password5Edit", "Password5EditChange", &TicketPage::Password5EditChange, "Salesmen",
         "Password", 5},
        {"Password6Edit", "Password6EditChange", &TicketPage::Password6EditChange, "Salesmen",
         "Password", 6},
        {"Password7Edit", "Password7EditChange", &TicketPage::Password7EditChange, "Salesmen",
         "Password", 7},
        {"Password8Edit", "Password8EditChange", &TicketPage::Password8EditChange, "Salesmen",
         "Password", 8},
    };
    for (const auto& f : fields) {
        QLineEdit* e = edit(f.edit);
        // Called by its name, the handler stores its own field into its own row.
        const QString text = QStringLiteral("9%1").arg(f.id);
        {
            const QSignalBlocker quiet(e);
            e->setText(text);
        }
        ASSERT_TRUE(QMetaObject::invokeMethod(page, f.slot)) << f.slot;
        EXPECT_EQ(stored(QString::fromLatin1(f.table), QString::fromLatin1(f.field), f.id), text)
            << f.slot;
        // And the edit's changes reach that very handler.
        EXPECT_TRUE(QObject::disconnect(e, &QLineEdit::textChanged, page, f.handler)) << f.slot;
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(TicketPageTest, PreviewsShowBothTicketsAndFollowTheActivePage) {
    start();
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    const QImage sample = page->TemplateTicket->pixmap().toImage();
    ASSERT_FALSE(sample.isNull());
    EXPECT_EQ(sample.width(), 216);
    EXPECT_LT(form->minimumSizeHint().height(), sample.height())
        << "the tall picture does not stretch the window";

    const QImage ticket = page->TicketDrawImage->pixmap().toImage();
    ASSERT_FALSE(ticket.isNull());
    QTest::keyClicks(edit("Header3Edit"), QStringLiteral("ABC"));
    EXPECT_NE(page->TicketDrawImage->pixmap().toImage(), ticket);

    form->pageControl()->setCurrentIndex(TForm1::GoodsPageIndex);
    EXPECT_EQ(form->goodsPage()->TicketImage->pixmap().toImage(),
              page->TicketDrawImage->pixmap().toImage());
    EXPECT_EQ(page->TemplateTicket->pixmap().toImage(), sample);
}

TEST_F(TicketPageTest, MissingFontIsReportedOnceNamingTheFile) {
    ASSERT_TRUE(QFile::remove(folder.path(QStringLiteral("Languages/ENG/fonts12x24.bmp"))));
    start();
    ASSERT_EQ(errors.size(), 1) << errors.join(u'\n').toStdString();
    EXPECT_TRUE(errors[0].contains(QStringLiteral("fonts12x24.bmp"))) << errors[0].toStdString();
    EXPECT_TRUE(shell().DataLoaded);

    QTest::keyClicks(edit("Header3Edit"), QStringLiteral("AB"));
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(stored(QStringLiteral("TicketLines"), QStringLiteral("Data"), 3).right(2),
              QStringLiteral("AB"));
}

} // namespace
