#pragma once

#include "app/notifier.h"

#include <QWidget>

namespace dm::gui {

// Shows each message of the goods checks and the importers as a message box with the
// caption "Error", an error icon and an OK button.
class MessageBoxNotifier : public Notifier {
public:
    explicit MessageBoxNotifier(QWidget* parent) : m_parent(parent) {}
    void notify(const QString& message) override;

private:
    QWidget* m_parent;
};

} // namespace dm::gui
