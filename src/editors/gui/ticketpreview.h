#pragma once

#include "editors/ticketfonts.h"

#include <QObject>
#include <QString>

#include <functional>

class QLabel;
class QTabWidget;

namespace dm {
class Database;
}

namespace dm::gui {

class GoodsPage;
class TicketPage;

// The two ticket previews: the sample ticket on the ticket page and the ticket from
// the database on whichever of the goods and ticket pages is active.
class TicketPreviews : public QObject {
    Q_OBJECT
public:
    TicketPreviews(GoodsPage* goods, TicketPage* ticket, QTabWidget* pages,
                   QObject* parent = nullptr);
    void bind(Database* db);

    // Set by the main window: where a failed drawing (a missing font, an unreadable
    // price) is shown. A failure is shown once; the drawings that fail after it stay
    // quiet until one succeeds or the database is opened anew, so typing into a field
    // does not repeat the message at every key.
    std::function<void(const QString&)> reportError;

    void DrawSampleTicket();
    void DrawTicket();

private:
    // Draws with the fonts of the current language; false when it failed (reported).
    template <class Draw> bool draw(QLabel* target, Draw&& drawCanvas);
    void report(const QString& text);

    GoodsPage* m_goods;
    TicketPage* m_ticket;
    QTabWidget* m_pages;
    Database* m_db = nullptr;
    TicketFonts m_fonts;
    bool m_failing = false;
};

} // namespace dm::gui
