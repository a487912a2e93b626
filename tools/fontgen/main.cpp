// fontgen: makes the ticket's bitmap font files of each language folder from an
// outline font, in the scale code page that the folder's language selects.
#include "fontgenerator.h"

#include "app/errors.h"
#include "app/langtext.h"
#include "editors/ticketfonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

int usage(QTextStream& err) {
    err << "usage: fontgen [--font OUTLINE.ttf] --languages DIR\n"
           "       fontgen [--font OUTLINE.ttf] --out DIR [--language-id N]\n"
           "  --languages DIR  every language folder under DIR, in the code page of its "
           "Lang.dat\n"
           "  --out DIR        one folder, in the code page of --language-id (default 1049)\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);

    QString font = QStringLiteral(DM_TICKET_OUTLINE_FONT);
    QString languages;
    QString folder;
    int languageId = 1049;
    while (!args.isEmpty()) {
        const QString opt = args.takeFirst();
        if (args.isEmpty())
            return usage(err);
        const QString value = args.takeFirst();
        if (opt == QStringLiteral("--font"))
            font = value;
        else if (opt == QStringLiteral("--languages"))
            languages = value;
        else if (opt == QStringLiteral("--out"))
            folder = value;
        else if (opt == QStringLiteral("--language-id")) {
            bool ok = false;
            languageId = value.toInt(&ok);
            if (!ok)
                return usage(err);
        } else
            return usage(err);
    }
    if (languages.isEmpty() == folder.isEmpty())
        return usage(err);

    try {
        dm::fontgen::FontGenerator generator(font);
        QList<std::pair<QString, int>> jobs;
        if (!folder.isEmpty()) {
            jobs.append({folder, languageId});
        } else {
            const QDir dir(languages);
            if (!dir.exists())
                throw dm::FileError(QStringLiteral("no such folder: ") + languages);
            for (const QString& name :
                 dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
                dm::LanguageFile lang;
                lang.open(dir.filePath(name));
                jobs.append({dir.filePath(name), lang.languageId()});
            }
        }
        for (const auto& [path, id] : jobs) {
            dm::ScaleCodePage codePage;
            codePage.select(id);
            const QStringList written = generator.writeFontSet(path, codePage);
            out << "fontgen: " << QDir::toNativeSeparators(path) << " (language " << id
                << "): " << written.size() << " of " << dm::kTicketFontCount << " files written\n";
        }
    } catch (const dm::UserError& e) {
        err << "fontgen: " << e.text() << "\n";
        return 1;
    }
    return 0;
}
