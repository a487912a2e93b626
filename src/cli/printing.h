#pragma once

#include "app/notifier.h"
#include "comm/transfersink.h"

#include <QStringList>
#include <QTextStream>

namespace dm::cli {

// The message panel's notices as lines on standard output; the troubleshooting list on
// standard error. Progress is not shown.
class PrintingSink final : public TransferSink {
public:
    PrintingSink(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}
    void showMessage(const QStringList& lines, QRgb) override {
        for (const QString& line : lines)
            m_out << line << Qt::endl;
    }
    void showTroubleshooting(const QStringList& lines) override {
        for (const QString& line : lines)
            m_err << line << Qt::endl;
    }
    void hideMessage() override {}
    void showProgress() override {}
    void setProgressTotal(int) override {}
    void setProgressDone(int) override {}
    void hideProgress() override {}

private:
    QTextStream& m_out;
    QTextStream& m_err;
};

// The goods checks' and importers' messages on standard error, one line each behind
// the prefix; counted, so a command can tell whether anything was refused.
class ErrorStreamNotifier final : public Notifier {
public:
    explicit ErrorStreamNotifier(QTextStream& err, QString prefix = QString())
        : m_err(err), m_prefix(std::move(prefix)) {}
    void notify(const QString& message) override {
        m_err << m_prefix << message << Qt::endl;
        ++m_count;
    }
    int count() const { return m_count; }

private:
    QTextStream& m_err;
    QString m_prefix;
    int m_count = 0;
};

} // namespace dm::cli
