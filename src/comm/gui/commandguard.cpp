#include "comm/gui/commandguard.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QToolButton>
#include <QWidget>

namespace dm::gui {

namespace {
bool g_running = false;
} // namespace

// Holds back what the user does to the main window while a command blocks in it: a click
// or key would otherwise reach handlers that change the data the command is using, and a
// close would shut the database under it. Painting and timers go on.
class CommandGuard::InputHold : public QObject {
public:
    explicit InputHold(QWidget* window) : m_window(window) { qApp->installEventFilter(this); }
    ~InputHold() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Close:
            if (watched == m_window) {
                event->ignore();
                return true;
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Drop:
            if (const auto* w = qobject_cast<QWidget*>(watched); w && w->window() == m_window)
                return true;
            break;
        case QEvent::Shortcut:
            if (QApplication::activeWindow() == m_window)
                return true;
            break;
        default:
            break;
        }
        return false;
    }

private:
    QWidget* m_window;
};

CommandGuard::CommandGuard(QWidget& window, const QList<QToolButton*>& buttons,
                           std::function<void()> atEnd)
    : m_atEnd(std::move(atEnd)) {
    if (g_running)
        return;
    g_running = m_active = true;
    m_buttons = buttons;
    for (QToolButton* b : buttons) {
        m_wasEnabled.append(b->isEnabled());
        b->setEnabled(false);
    }
    m_hold = std::make_unique<InputHold>(&window);
}

CommandGuard::~CommandGuard() {
    if (m_active) {
        m_hold.reset();
        for (qsizetype i = 0; i < m_buttons.size(); ++i)
            m_buttons[i]->setEnabled(m_wasEnabled[i]);
        g_running = false;
    }
    if (m_atEnd)
        m_atEnd();
}

bool CommandGuard::isRunning() {
    return g_running;
}

} // namespace dm::gui
