#pragma once

#include "app/langtext.h"
#include "app/notifier.h"
#include "comm/transferrun.h"
#include "db/database.h"

#include "commsupport.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace dm::test {

// Every call a run makes on its sink and pause object, in order, as text:
// "pink: Connection failed to scales ...", "pause 1000", "progress 2/3", ...
class RecordingSink final : public TransferSink, public TransferPauses {
public:
    void showMessage(const QStringList& lines, QRgb colour) override;
    void showTroubleshooting(const QStringList& lines) override;
    void hideMessage() override { events << QStringLiteral("hide"); }
    void showProgress() override { events << QStringLiteral("progress shown"); }
    void setProgressTotal(int total) override { m_total = total; }
    void setProgressDone(int done) override;
    void hideProgress() override { events << QStringLiteral("progress hidden"); }
    void pause(int ms) override { events << QStringLiteral("pause %1").arg(ms); }

    // The notices alone ("colour: text"), without pauses and progress.
    QStringList notices() const;
    QStringList events;

private:
    int m_total = 0;
};

QString colourName(QRgb colour); // "blue", "pink", "green"

// A fresh copy of the template database with an export folder beside it, and a run
// setup that records everything and pauses for nothing. Link time limits are short, so
// an unanswered read costs little.
class TransferTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    TransferSetup& setup() { return *m_setup; }
    QString exportDir() const { return m_dir.filePath(QStringLiteral("Export")); }
    // A folder for one simulated scale's files.
    QString scaleDir(const QString& name);

    // One simulated scale: the process, its folder and the frame log it has written.
    struct Sim {
        SimProcess process;
        QString address;
        QString folder;
        QString log;
        // The received frames logged so far ("WriteBlock kind 1 (products.dat) block
        // 1/2 count 1024, ..."), waiting until at least atLeast of them containing what
        // have come (or three seconds have passed).
        QStringList frames(const QString& what = QString(), int atLeast = 0);
        QByteArray file(const QString& name) const;
    };
    // Starts scale-sim on address (or on a serial device given in extra) with its files
    // in scaleDir(name) and the frame log on; fails the test when it does not start.
    Sim& startSim(const QString& address, const QString& name, const QStringList& extra = {});

    void addGoods(int plu, const QString& name, const QString& price, bool byCount = false);
    // Goods enough for a goods file of more than the given number of bytes.
    void addGoodsBeyond(qsizetype bytes);
    int addKeypad(const QString& name, int firstPlu);
    void addScaleRow(const QString& name, const QString& address, const QString& keypad);
    void exec(const QString& sql);
    // The rows of a table as text, to compare before and after.
    QStringList rows(const QString& table) const;

    Database db;
    RecordingSink sink;
    CollectingNotifier notifier;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TransferSetup> m_setup;
    std::vector<std::unique_ptr<Sim>> m_sims;
};

} // namespace dm::test
