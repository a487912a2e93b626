#pragma once

#include "app/errors.h"
#include "db/database.h"
#include "db/sqlitefile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace dm::test {

inline QByteArray fileHash(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

inline QStringList folderEntries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// A fresh database file from the template code, opened with its seven datasets.
class DbFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("Base.sqlite"));
        createTemplateDatabase(path);
        db.open(path);
    }

    // Runs a statement on the open connection, failing the test on an SQL error.
    void exec(const QString& sql, const QVariantList& binds = {}) {
        QSqlQuery q(db.connection());
        ASSERT_TRUE(q.prepare(sql)) << q.lastError().text().toStdString();
        for (const QVariant& v : binds)
            q.addBindValue(v);
        ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
    }

    QVariant scalar(const QString& sql, const QVariantList& binds = {}) {
        QSqlQuery q(db.connection());
        q.prepare(sql);
        for (const QVariant& v : binds)
            q.addBindValue(v);
        if (!q.exec() || !q.next())
            return QVariant(QStringLiteral("<query failed: %1>").arg(q.lastError().text()));
        return q.value(0);
    }

    QTemporaryDir dir;
    QString path;
    Database db;
};

} // namespace dm::test
