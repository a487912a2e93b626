#include "editors/ticketsource.h"

#include "db/database.h"

namespace dm {

TicketGoods TicketGoodsAt(const ProductsDataSet& products, int row) {
    TicketGoods g;
    g.plu = products.value(row, ProductsDataSet::PLU).toInt();
    g.name = products.value(row, ProductsDataSet::RVTName).toString();
    g.type = products.value(row, ProductsDataSet::Type).toString();
    g.price = products.value(row, ProductsDataSet::Price).toString();
    g.barcode = products.value(row, ProductsDataSet::Barcode).toString();
    return g;
}

TicketData ReadTicketData(Database& db, const QString& operatorName) {
    const QString id = QStringLiteral("ID");
    TicketData d;
    for (int n = 1; n <= 8; ++n) {
        d.lines[static_cast<size_t>(n - 1)] =
            db.ticket().lookup(id, n, QStringLiteral("Data")).toString();
        d.operatorNames[static_cast<size_t>(n - 1)] =
            db.salesmen().lookup(id, n, QStringLiteral("Name")).toString();
    }
    d.operatorName = operatorName;
    const ProductsDataSet& products = db.products();
    if (products.currentRow() >= 0 && products.currentRow() < products.recordCount())
        d.goods = TicketGoodsAt(products, products.currentRow());
    return d;
}

} // namespace dm
