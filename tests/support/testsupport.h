#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace dm::test {

// The program folder that the build staged (executables, System/, Languages/).
QString stagedProgramFolder();
QString sourceDir();
QString testDataDir();

// A scratch copy of the staged program folder in a temporary directory, without
// terminal.ini, History.log or Data/ unless the test makes them.
class ScratchProgramFolder {
public:
    ScratchProgramFolder();
    QString root() const;
    QString path(const QString& relative) const;
    bool isValid() const { return m_dir.isValid(); }

private:
    QTemporaryDir m_dir;
};

bool copyTree(const QString& from, const QString& to);

// A file's bytes; empty when it cannot be read.
QByteArray readFile(const QString& path);
// Writes bytes as the whole file, making its folder; a failure fails the test.
void writeFile(const QString& path, const QByteArray& data);

} // namespace dm::test
