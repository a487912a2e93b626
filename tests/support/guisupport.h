#pragma once

#include "app/gui/mainwindow.h"
#include "app/gui/messagepanel.h"
#include "app/langtext.h"
#include "comm/discovery.h"
#include "comm/transfersink.h"

#include <QLabel>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace dm::test {

// Runs check on the event loop of the next modal window, as soon as it is up.
inline void whenShown(QWidget* window, std::function<void()> check) {
    QTimer::singleShot(10, window, [window, check] {
        if (window->isVisible())
            check();
        else
            whenShown(window, check);
    });
}

// The window's discovery broadcasts on no interface, so a test never sends to the
// machine's network.
inline void keepDiscoveryQuiet(gui::TForm1& form) {
    DiscoveryOptions quiet;
    quiet.interfaces = [] { return QList<InterfaceAddress>(); };
    form.discovery().setOptions(quiet);
}

// A main window started over a program folder as the program starts it, with its own
// message panel, discovery kept off the network, and the errors it would show collected.
struct StartedWindow {
    std::unique_ptr<gui::TForm1> form;
    TMessagePanel* panel = nullptr;
};
inline StartedWindow startQuietWindow(const QString& programFolder, QStringList& errors) {
    currentLanguageFile().clear();
    StartedWindow w;
    w.form = std::make_unique<gui::TForm1>(ProgramFolder(programFolder));
    w.form->setErrorReporter([&errors](const QString& e) { errors << e; });
    keepDiscoveryQuiet(*w.form);
    w.form->FormCreate();
    w.panel = new TMessagePanel(w.form.get());
    w.form->setMessagePanel(w.panel);
    return w;
}

// Notes what the message panel shows at every pause of a command ("-" while hidden), and
// lets a test act in the middle of it.
class PanelWatch final : public TransferPauses {
public:
    PanelWatch(TMessagePanel& panel, QStringList& seen, std::function<void()> during)
        : m_panel(panel), m_seen(seen), m_during(std::move(during)) {}
    void pause(int) override {
        m_seen << (m_panel.isVisible() ? m_panel.messageLabel()->text() : QStringLiteral("-"));
        if (m_during)
            m_during();
    }

private:
    TMessagePanel& m_panel;
    QStringList& m_seen;
    std::function<void()> m_during;
};

} // namespace dm::test
