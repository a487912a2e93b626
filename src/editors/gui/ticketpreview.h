#pragma once

#include <QObject>

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

    void DrawSampleTicket();
    void DrawTicket();

private:
    GoodsPage* m_goods;
    TicketPage* m_ticket;
    QTabWidget* m_pages;
    Database* m_db = nullptr;
};

} // namespace dm::gui
