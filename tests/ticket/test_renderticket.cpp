#include "ticketimage.h"

#include "db/database.h"
#include "testsupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dm;
using namespace dm::test;
using namespace Qt::StringLiterals;

namespace {

class RenderTicketTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        dbPath = dir.filePath(u"shop.sqlite"_s);
        ASSERT_TRUE(QFile::copy(stagedProgramFolder() + u"/System/Default.sqlite"_s, dbPath));
        Database db;
        db.open(dbPath);
        db.products().append({{u"PLU"_s, 5},
                              {u"RVTName"_s, u"Pears"_s},
                              {u"Type"_s, u"weight"_s},
                              {u"Price"_s, u"3.00"_s}});
        db.products().append({{u"PLU"_s, 12},
                              {u"RVTName"_s, u"Buns"_s},
                              {u"Type"_s, u"count"_s},
                              {u"Price"_s, u"12.50"_s}});
        ASSERT_TRUE(db.salesmen().locate(u"ID"_s, 3));
        db.salesmen().post(db.salesmen().currentRow(), {{u"Name"_s, u"Carol"_s}});
        page.select(1049);
    }

    int render(QStringList args, QString* errors = nullptr) {
        QProcess p;
        p.start(stagedProgramFolder() + u"/dmctl"_s,
                QStringList{u"--db"_s, dbPath, u"--language"_s, u"ENG"_s, u"render-ticket"_s} +
                    args);
        if (!p.waitForFinished(60000))
            return -1;
        if (errors)
            *errors = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    QString text(const QImage& img, int font, int column, int row, int cells) {
        return readLeft(img, fonts.font(font), page, column, row, cells);
    }

    QTemporaryDir dir;
    QString dbPath;
    TicketFonts fonts{stagedProgramFolder() + u"/Languages/ENG"_s};
    ScaleCodePage page;
};

TEST_F(RenderTicketTest, FullCanvasShowsTheChosenGoodsAndOperator) {
    struct Case {
        QStringList args;
        QString goods;
        QString number;
        QString operatorName;
    };
    const Case cases[] = {
        {{}, u"Pears"_s, u"1# 123"_s, u"Operator 1"_s},
        {{u"--plu"_s, u"12"_s, u"--operator"_s, u"3"_s}, u"Buns"_s, u"3# 123"_s, u"Carol"_s},
    };
    for (const Case& c : cases) {
        const QString out = dir.filePath(u"full.png"_s);
        ASSERT_EQ(render(QStringList{u"--out"_s, out, u"--full"_s} + c.args), 0);
        const QImage img(out);
        ASSERT_EQ(img.width(), 432);
        // All eight lines of the template are present: the worked example's rows.
        EXPECT_EQ(text(img, 5, 2, 25, 36), c.goods);
        EXPECT_EQ(text(img, 5, 2, 20, 16), c.number);
        EXPECT_EQ(text(img, 5, 2, 45, 32), c.operatorName);
    }
}

TEST_F(RenderTicketTest, ShownImageIsHalfTheCanvas) {
    for (const QStringList& extra : {QStringList{}, QStringList{u"--sample"_s}}) {
        const QString full = dir.filePath(u"full.png"_s);
        const QString shown = dir.filePath(u"shown.png"_s);
        ASSERT_EQ(render(QStringList{u"--out"_s, full, u"--full"_s} + extra), 0);
        ASSERT_EQ(render(QStringList{u"--out"_s, shown} + extra), 0);
        const QImage a(full);
        const QImage b(shown);
        EXPECT_EQ(b.size(), a.size() / 2);
        EXPECT_EQ(b.format(), QImage::Format_Indexed8);
    }
}

TEST_F(RenderTicketTest, RefusesWhatItCannotDraw) {
    struct Case {
        QStringList args;
        int exitCode;
        const char* message;
    };
    const QString out = dir.filePath(u"x.png"_s);
    const Case cases[] = {
        {{u"--out"_s, out, u"--plu"_s, u"99"_s}, 1, "PLU 99"},
        {{u"--out"_s, out, u"--operator"_s, u"9"_s}, 2, "--operator"},
        {{u"--out"_s, out, u"--sample"_s, u"--plu"_s, u"5"_s}, 2, "--sample"},
        {{}, 2, "--out"},
        {{u"--out"_s, dir.filePath(u"no/such/folder/x.png"_s)}, 1, "cannot write"},
    };
    for (const Case& c : cases) {
        QString errors;
        EXPECT_EQ(render(c.args, &errors), c.exitCode) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(errors.contains(QString::fromLatin1(c.message))) << errors.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));
}

} // namespace
