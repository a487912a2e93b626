#pragma once

#include <QList>

#include <functional>
#include <memory>

class QToolButton;
class QWidget;

namespace dm::gui {

// One window command that talks to a scale or a card at a time, in the whole program.
// While a guard is active the given buttons are disabled, the user's input to the window
// is held back (painting and timers go on) and the window does not close; the buttons
// get back the state they had. A guard made while another is active stays inactive.
// atEnd, when given, is called as the guard goes, active or not, once the buttons are back.
class CommandGuard {
public:
    CommandGuard(QWidget& window, const QList<QToolButton*>& buttons,
                 std::function<void()> atEnd = {});
    ~CommandGuard();
    CommandGuard(const CommandGuard&) = delete;
    CommandGuard& operator=(const CommandGuard&) = delete;

    explicit operator bool() const { return m_active; }
    static bool isRunning();

private:
    class InputHold;
    bool m_active = false;
    QList<QToolButton*> m_buttons;
    QList<bool> m_wasEnabled;
    std::unique_ptr<InputHold> m_hold;
    std::function<void()> m_atEnd;
};

} // namespace dm::gui
