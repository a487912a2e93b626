#include "db/datasets.h"

namespace dm {

namespace {

QStringList fieldList(std::initializer_list<const char16_t*> names) {
    QStringList l;
    for (const char16_t* n : names)
        l << QString::fromUtf16(n);
    return l;
}

} // namespace

ProductsDataSet::ProductsDataSet(QObject* parent)
    : DataSet(QStringLiteral("Products"),
              fieldList({u"ID", u"PLU", u"RVTName", u"Type", u"Price", u"Barcode"}), parent) {}

TicketDataSet::TicketDataSet(QObject* parent)
    : DataSet(QStringLiteral("TicketLines"), fieldList({u"ID", u"Data"}), parent) {}

SalesmenDataSet::SalesmenDataSet(QObject* parent)
    : DataSet(QStringLiteral("Salesmen"), fieldList({u"ID", u"Name", u"Password"}), parent) {}

KeypadsDataSet::KeypadsDataSet(QObject* parent)
    : DataSet(QStringLiteral("KeyPads"), fieldList({u"ID", u"Name"}), parent) {}

KeysDataSet::KeysDataSet(QObject* parent)
    : DataSet(QStringLiteral("Keys"), fieldList({u"ID", u"PLU"}), parent) {
    // Keypad n's keys are found by position, so the rows always run in ID order.
    setNaturalOrderField(QStringLiteral("ID"));
}

ScalesDataSet::ScalesDataSet(QObject* parent)
    : DataSet(QStringLiteral("ScalesSettings"),
              fieldList({u"ID", u"Name", u"IP", u"State", u"Keypad"}), parent) {}

TotalsDataSet::TotalsDataSet(QObject* parent)
    : DataSet(QStringLiteral("Totals"),
              fieldList({u"Scales", u"PLU", u"Name", u"Type", u"DayWeight", u"DayNum",
                         u"MonthWeight", u"MonthNum", u"Last", u"Read", u"IP"}),
              parent) {}

} // namespace dm
