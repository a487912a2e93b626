#pragma once

#include <QString>
#include <QStringList>

namespace dm {

// Where the goods checks and the file importers report their messages, one call per
// failed check or refused file. The window shows each as a message box, dmctl prints it
// to standard error; tests collect them.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void notify(const QString& message) = 0;
};

// Keeps every message in order.
class CollectingNotifier : public Notifier {
public:
    void notify(const QString& message) override { m_messages.append(message); }
    const QStringList& messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

private:
    QStringList m_messages;
};

} // namespace dm
