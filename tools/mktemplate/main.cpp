// dm-mktemplate OUT: writes the template database that every new database file of the
// program is copied from, made by the program's own schema code.
#include "app/errors.h"
#include "db/sqlitefile.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: dm-mktemplate OUT\n");
        return 2;
    }
    try {
        dm::createTemplateDatabase(args[1]);
    } catch (const dm::UserError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
