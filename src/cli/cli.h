#pragma once

#include "app/programfolder.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <optional>

namespace dm::cli {

enum ExitCode { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

// What every command gets: the global options and the two output streams.
struct Context {
    ProgramFolder folder{QString()};
    QString dbOption;       // --db as given (empty: Base of terminal.ini)
    QString languageOption; // --language as given (empty: Language of terminal.ini)
    QTextStream& out;
    QTextStream& err;

    // The database file the command works on: --db, else Base of terminal.ini with
    // the start-up fallback to Data/Base.sqlite.
    QString databasePath() const;
    // The language folder name: --language, else Language of terminal.ini, else by
    // the system language.
    QString languageName() const;
    // Opens the language file and selects its scale code page.
    void loadLanguage() const;
};

// A command's arguments after the command word; throws UsageError on a bad option.
struct UsageError {
    QString text;
};

class Args {
public:
    explicit Args(QStringList args) : m_args(std::move(args)) {}
    // Takes "--name VALUE" (all occurrences, in order) out of the list.
    QStringList takeAll(const QString& name);
    std::optional<QString> take(const QString& name);
    // Takes "--name DIR", which must be there, as an absolute clean path.
    QString takeFolder(const QString& name);
    bool takeFlag(const QString& name);
    QStringList positional(); // what is left; refuses unknown options
    void expectEmpty();

private:
    QStringList m_args;
};

struct Command {
    QString name;  // for example "make-files", or "card save"
    QString usage; // one line shown by dmctl --help
    std::function<int(Context&, Args&)> run;
};

// Commands register themselves from their own file with a static Registrar.
void registerCommand(Command command);
const QList<Command>& commands();

struct Registrar {
    explicit Registrar(Command command) { registerCommand(std::move(command)); }
};

} // namespace dm::cli
