#include "editors/gui/ticketpreview.h"

namespace dm::gui {

TicketPreviews::TicketPreviews(GoodsPage* goods, TicketPage* ticket, QTabWidget* pages,
                               QObject* parent)
    : QObject(parent), m_goods(goods), m_ticket(ticket), m_pages(pages) {}

void TicketPreviews::bind(Database* db) {
    m_db = db;
}

void TicketPreviews::DrawSampleTicket() {}

void TicketPreviews::DrawTicket() {}

} // namespace dm::gui
