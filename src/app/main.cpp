#include "app/gui/mainwindow.h"
#include "app/gui/messagepanel.h"
#include "platform/termination.h"
#include "platform/timezone.h"

#include <QApplication>

int main(int argc, char** argv) {
    dm::platform::settleTimeZone();
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("datamanager"));
    app.setApplicationVersion(QStringLiteral(DM_VERSION));

    dm::gui::TForm1 form(dm::ProgramFolder::ofExecutable());
    dm::platform::onTerminationRequest([&form] { form.close(); });
    form.FormCreate();
    // Created after the main window, as the window prepares itself without it.
    dm::TMessagePanel panel(&form);
    form.setMessagePanel(&panel);
    form.show();
    return app.exec();
}
