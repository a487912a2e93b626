#include "app/gui/messageboxnotifier.h"

#include "app/langtext.h"

#include <QMessageBox>

namespace dm::gui {

void MessageBoxNotifier::notify(const QString& message) {
    QMessageBox::critical(m_parent, LangText(u"Text", u"ErrorData", u"Error"), message);
}

} // namespace dm::gui
