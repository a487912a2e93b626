#include "app/gui/mainwindow.h"
#include "platform/termination.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("datamanager"));
    app.setApplicationVersion(QStringLiteral(DM_VERSION));

    dm::gui::TForm1 form(dm::ProgramFolder::ofExecutable());
    dm::platform::onTerminationRequest([&form] { form.close(); });
    form.FormCreate();
    form.show();
    return app.exec();
}
