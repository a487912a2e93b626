#pragma once

#include "editors/ticketdraw.h"

namespace dm {

class Database;
class ProductsDataSet;

// The goods record at a row of the goods list (a null field reads as empty).
TicketGoods TicketGoodsAt(const ProductsDataSet& products, int row);

// What the ticket from the database shows: ticket lines 1 to 8 and the names of
// operators 1 to 8 as stored, the operator shown, and the current record of the goods
// list (none when the list has no current row).
TicketData ReadTicketData(Database& db, const QString& operatorName);

} // namespace dm
