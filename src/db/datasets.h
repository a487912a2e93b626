#pragma once

#include "db/dataset.h"

namespace dm {

// The seven datasets; each column enum follows the dataset's field order.

class ProductsDataSet : public DataSet {
    Q_OBJECT
public:
    enum Column { ID, PLU, RVTName, Type, Price, Barcode };
    explicit ProductsDataSet(QObject* parent = nullptr);
};

class TicketDataSet : public DataSet {
    Q_OBJECT
public:
    enum Column { ID, Data };
    explicit TicketDataSet(QObject* parent = nullptr);
};

class SalesmenDataSet : public DataSet {
    Q_OBJECT
public:
    enum Column { ID, Name, Password };
    explicit SalesmenDataSet(QObject* parent = nullptr);
};

class KeypadsDataSet : public DataSet {
    Q_OBJECT
public:
    enum Column { ID, Name };
    explicit KeypadsDataSet(QObject* parent = nullptr);
};

// Always read in ascending ID, so keypad n's keys are rows (n-1)*33 to (n-1)*33+32.
class KeysDataSet : public DataSet {
    Q_OBJECT
public:
    enum Column { ID, PLU };
    explicit KeysDataSet(QObject* parent = nullptr);
};

class ScalesDataSet : public DataSet {
    Q_OBJECT
public:
    enum Column { ID, Name, IP, State, Keypad };
    explicit ScalesDataSet(QObject* parent = nullptr);
};

// Last and Read hold ISO 8601 text (YYYY-MM-DD HH:MM:SS) in the database; the dataset
// gives them as QDateTime.
class TotalsDataSet : public DataSet {
    Q_OBJECT
public:
    enum Column {
        Scales,
        PLU,
        Name,
        Type,
        DayWeight,
        DayNum,
        MonthWeight,
        MonthNum,
        Last,
        Read,
        IP
    };
    explicit TotalsDataSet(QObject* parent = nullptr);
};

} // namespace dm
