#pragma once

#include "app/gui/messagepanel.h"
#include "comm/transfersink.h"

#include <QLabel>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

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
