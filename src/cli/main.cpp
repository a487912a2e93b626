#include "cli/cli.h"

#include "app/inifile.h"
#include "app/langtext.h"
#include "app/startup.h"
#include "platform/timezone.h"
#include "scalefiles/scalecodepage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <memory>

namespace dm::cli {

namespace {
QList<Command>& registry() {
    static QList<Command> list;
    return list;
}
} // namespace

void registerCommand(Command command) {
    registry().append(std::move(command));
}
const QList<Command>& commands() {
    return registry();
}

QStringList Args::takeAll(const QString& name) {
    QStringList values;
    for (qsizetype i = 0; i < m_args.size();) {
        if (m_args[i] == name) {
            if (i + 1 >= m_args.size())
                throw UsageError{name + QStringLiteral(" needs a value")};
            values.append(m_args[i + 1]);
            m_args.remove(i, 2);
        } else {
            ++i;
        }
    }
    return values;
}

std::optional<QString> Args::take(const QString& name) {
    const QStringList all = takeAll(name);
    if (all.size() > 1)
        throw UsageError{name + QStringLiteral(" given more than once")};
    if (all.isEmpty())
        return std::nullopt;
    return all.first();
}

QString Args::takeFolder(const QString& name) {
    const std::optional<QString> dir = take(name);
    if (!dir || dir->isEmpty())
        throw UsageError{name + QStringLiteral(" DIR is needed")};
    return QDir::cleanPath(QFileInfo(*dir).absoluteFilePath());
}

bool Args::takeFlag(const QString& name) {
    const bool found = m_args.removeAll(name) > 0;
    return found;
}

QStringList Args::positional() {
    for (const QString& a : m_args)
        if (a.startsWith(QStringLiteral("--")))
            throw UsageError{QStringLiteral("unknown option ") + a};
    QStringList rest = m_args;
    m_args.clear();
    return rest;
}

void Args::expectEmpty() {
    const QStringList rest = positional();
    if (!rest.isEmpty())
        throw UsageError{QStringLiteral("unexpected argument ") + rest.first()};
}

QString Context::databasePath() const {
    if (!dbOption.isEmpty())
        return QFileInfo(dbOption).absoluteFilePath();
    // The same choice as the program's start-up, made from the template where needed;
    // terminal.ini itself is left as it is.
    IniFile ini(folder.terminalIni());
    return chooseDatabaseFile(folder, ini).path;
}

QString Context::languageName() const {
    return languageOption.isEmpty() ? configuredLanguageName(IniFile(folder.terminalIni()))
                                    : languageOption;
}

void Context::loadLanguage() const {
    LanguageFile& lang = currentLanguageFile();
    lang.open(folder.languagesDir() + u'/' + languageName());
    SelectScaleCodePage(lang.languageId());
}

} // namespace dm::cli

using namespace dm::cli;

static void printUsage(QTextStream& s) {
    s << "usage: dmctl [--program-folder DIR] [--db FILE] [--language NAME] COMMAND ...\n"
         "commands:\n";
    for (const Command& c : commands())
        s << "  " << c.usage << "\n";
}

int main(int argc, char** argv) {
    // Drawing commands need a QGuiApplication; without a display it uses offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    dm::platform::settleTimeZone();
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);

    Context ctx{dm::ProgramFolder::ofExecutable(), {}, {}, out, err};
    // Global options stand before the command word; the rest belongs to the command.
    while (!args.isEmpty() && args.first().startsWith(QStringLiteral("--")) &&
           args.first() != QStringLiteral("--help")) {
        const QString opt = args.takeFirst();
        if (args.isEmpty()) {
            err << "dmctl: " << opt << " needs a value\n";
            return ExitUsage;
        }
        const QString value = args.takeFirst();
        if (opt == QStringLiteral("--program-folder"))
            ctx.folder = dm::ProgramFolder(value);
        else if (opt == QStringLiteral("--db"))
            ctx.dbOption = value;
        else if (opt == QStringLiteral("--language"))
            ctx.languageOption = value;
        else {
            err << "dmctl: unknown option " << opt << "\n";
            printUsage(err);
            return ExitUsage;
        }
    }
    if (args.isEmpty() || args.first() == QStringLiteral("--help") ||
        args.first() == QStringLiteral("help")) {
        printUsage(args.isEmpty() ? err : out);
        return args.isEmpty() ? ExitUsage : ExitOk;
    }
    // Longest match first, so that "card save" wins over a command "card".
    const Command* chosen = nullptr;
    qsizetype words = 0;
    for (const Command& c : commands()) {
        const QStringList name = c.name.split(u' ');
        if (name.size() <= args.size() && args.mid(0, name.size()) == name && name.size() > words) {
            chosen = &c;
            words = name.size();
        }
    }
    if (!chosen) {
        err << "dmctl: unknown command " << args.first() << "\n";
        printUsage(err);
        return ExitUsage;
    }
    try {
        Args rest(args.mid(words));
        const int rc = chosen->run(ctx, rest);
        out.flush();
        err.flush();
        return rc;
    } catch (const UsageError& e) {
        err << "dmctl " << chosen->name << ": " << e.text << "\n"
            << "usage: dmctl " << chosen->usage << "\n";
        return ExitUsage;
    }
}
