#pragma once

#include "app/langtext.h"
#include "db/database.h"

#include "testsupport.h"

#include <QFile>
#include <QLocale>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QVariant& v, std::ostream* os) {
    *os << (v.isNull() ? std::string("<null>") : '"' + v.toString().toStdString() + '"');
}

namespace dm::test {

// A fresh copy of the template database, open, in the C locale with the built-in texts.
class TemplateDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        currentLanguageFile().clear();
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("Base.sqlite"));
        ASSERT_TRUE(
            QFile::copy(stagedProgramFolder() + QStringLiteral("/System/Default.sqlite"), m_path));
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
        db.open(m_path);
    }
    void TearDown() override {
        db.close();
        QLocale::setDefault(QLocale::c());
        currentLanguageFile().clear();
    }

    QString folder() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    // Every row of every table, as text, to compare the database before and after.
    QStringList dump() const {
        QStringList out;
        for (const char* table : {"Products", "TicketLines", "Salesmen", "KeyPads", "Keys",
                                  "ScalesSettings", "Totals"}) {
            QSqlQuery q(db.connection());
            EXPECT_TRUE(q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid")
                                   .arg(QString::fromLatin1(table))));
            while (q.next()) {
                QStringList cells{QString::fromLatin1(table)};
                for (int i = 0; i < q.record().count(); ++i)
                    cells << (q.value(i).isNull() ? QStringLiteral("<null>")
                                                  : q.value(i).toString());
                out << cells.join(u'|');
            }
        }
        return out;
    }

    void exec(const QString& sql) {
        QSqlQuery q(db.connection());
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
    }

    Database db;

private:
    QTemporaryDir m_dir;
    QString m_path;
};

} // namespace dm::test
