#include "transfertest.h"

#include "editors/goodschecks.h"
#include "scalefiles/scalecodepage.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>

namespace dm::test {

QString colourName(QRgb colour) {
    switch (colour) {
    case panelcolour::SkyBlue:
        return QStringLiteral("blue");
    case panelcolour::Pink:
        return QStringLiteral("pink");
    case panelcolour::MoneyGreen:
        return QStringLiteral("green");
    default:
        return QStringLiteral("#%1").arg(colour, 6, 16, QLatin1Char('0'));
    }
}

void RecordingSink::showMessage(const QStringList& lines, QRgb colour) {
    events << colourName(colour) + QStringLiteral(": ") + lines.join(QStringLiteral(" / "));
}

void RecordingSink::showTroubleshooting(const QStringList& lines) {
    events << QStringLiteral("troubleshooting: ") + lines.join(QStringLiteral(" / "));
}

void RecordingSink::setProgressDone(int done) {
    events << QStringLiteral("progress %1/%2").arg(done).arg(m_total);
}

QStringList RecordingSink::notices() const {
    QStringList out;
    for (const QString& e : events)
        if (e.startsWith(QStringLiteral("blue:")) || e.startsWith(QStringLiteral("pink:")) ||
            e.startsWith(QStringLiteral("green:")))
            out << e;
    return out;
}

void TransferTest::SetUp() {
    QLocale::setDefault(QLocale::c());
    currentLanguageFile().clear();
    SelectScaleCodePage(currentLanguageFile().languageId());
    ASSERT_TRUE(m_dir.isValid());
    const QString path = m_dir.filePath(QStringLiteral("Base.sqlite"));
    ASSERT_TRUE(
        QFile::copy(stagedProgramFolder() + QStringLiteral("/System/Default.sqlite"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    db.open(path);
    InstallGoodsChecks(db, notifier);
    QDir().mkpath(exportDir());
    m_setup = std::make_unique<TransferSetup>(db, exportDir(), sink, sink, notifier);
    m_setup->timings.connectMs = 3000;
    m_setup->timings.firstByteMs = 400;
    m_setup->timings.gapMs = 50;
    m_setup->serialReceiveGiveUpMs = 0;
}

void TransferTest::TearDown() {
    m_sims.clear();
    m_setup.reset();
    db.close();
    currentLanguageFile().clear();
}

QString TransferTest::scaleDir(const QString& name) {
    const QString dir = m_dir.filePath(QStringLiteral("scale-") + name);
    QDir().mkpath(dir);
    return dir;
}

TransferTest::Sim& TransferTest::startSim(const QString& address, const QString& name,
                                          const QStringList& extra) {
    auto sim = std::make_unique<Sim>();
    sim->address = address;
    sim->folder = scaleDir(name);
    QStringList args{QStringLiteral("--folder"), sim->folder, QStringLiteral("--log")};
    if (!address.startsWith(u'C'))
        args << QStringLiteral("--address") << address;
    args << extra;
    EXPECT_TRUE(sim->process.start(args)) << "scale-sim " << args.join(u' ').toStdString();
    m_sims.push_back(std::move(sim));
    return *m_sims.back();
}

QStringList TransferTest::Sim::frames(const QString& what, int atLeast) {
    const auto matching = [&] {
        QStringList out;
        for (const QString& line : log.split(u'\n')) {
            const qsizetype at = line.indexOf(QStringLiteral("<- "));
            if (at >= 0 && line.contains(what))
                out << line.mid(at + 3).section(QStringLiteral(", crc"), 0, 0);
        }
        return out;
    };
    QDeadlineTimer deadline(3000);
    // The log comes through a pipe; give the last lines a moment to arrive.
    do {
        QCoreApplication::processEvents();
        QThread::msleep(20);
        log += process.output();
    } while (matching().size() < atLeast && !deadline.hasExpired());
    return matching();
}

QByteArray TransferTest::Sim::file(const QString& name) const {
    return readFile(QDir(folder).filePath(name));
}

void TransferTest::addGoods(int plu, const QString& name, const QString& price, bool byCount) {
    db.products().append({{QStringLiteral("PLU"), plu},
                          {QStringLiteral("RVTName"), name},
                          {QStringLiteral("Type"), byCount ? CountTypeText() : WeightTypeText()},
                          {QStringLiteral("Price"), price}});
}

void TransferTest::addGoodsBeyond(qsizetype bytes) {
    // Each record is 53 bytes and its name; 20-character names make 73.
    const int count = int(bytes / 73) + 1;
    const QString sql = QStringLiteral("INSERT INTO Products (PLU, RVTName, \"Type\", Price) "
                                       "VALUES (%1, 'Goods number %2', '%3', '%4.50')");
    for (int i = 1; i <= count; ++i)
        exec(sql.arg(1000 + i).arg(i, 7, 10, QLatin1Char('0')).arg(WeightTypeText()).arg(i));
    db.products().refresh();
}

int TransferTest::addKeypad(const QString& name, int firstPlu) {
    QSqlQuery q(db.connection());
    EXPECT_TRUE(q.exec(QStringLiteral("SELECT MAX(ID) FROM KeyPads")) && q.next());
    const int id = q.value(0).toInt() + 1;
    exec(QStringLiteral("INSERT INTO KeyPads (ID, Name) VALUES (%1, '%2')").arg(id).arg(name));
    for (int k = 1; k <= 33; ++k)
        exec(QStringLiteral("INSERT INTO Keys (ID, PLU) VALUES (%1, %2)")
                 .arg(id * 100 + k)
                 .arg(firstPlu + k - 1));
    db.keypads().refresh();
    db.keys().refresh();
    return id;
}

void TransferTest::addScaleRow(const QString& name, const QString& address, const QString& keypad) {
    db.scales().append({{QStringLiteral("Name"), name},
                        {QStringLiteral("IP"), address},
                        {QStringLiteral("Keypad"), keypad}});
}

void TransferTest::exec(const QString& sql) {
    QSqlQuery q(db.connection());
    ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
}

QStringList TransferTest::rows(const QString& table) const {
    QStringList out;
    QSqlQuery q(db.connection());
    EXPECT_TRUE(q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table)));
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i)
            cells << (q.value(i).isNull() ? QStringLiteral("<null>") : q.value(i).toString());
        out << cells.join(u'|');
    }
    return out;
}

} // namespace dm::test
