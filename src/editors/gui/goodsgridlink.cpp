#include "editors/gui/goodsgridlink.h"

#include "db/dataset.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

namespace dm::gui {

namespace {
const char* const kLinkedTo = "dmLinkedDataSet";

int firstVisibleColumn(const QTableView* grid) {
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        if (!grid->isColumnHidden(c))
            return c;
    return 0;
}
} // namespace

void showDataSetRow(QTableView* grid, const DataSet* dataSet, bool select) {
    QItemSelectionModel* selection = grid->selectionModel();
    if (!selection || grid->model() != dataSet)
        return;
    const int row = dataSet->currentRow();
    if (row < 0)
        return;
    const QModelIndex current = grid->currentIndex();
    if (current.isValid() && current.row() == row && !select)
        return;
    const int column = current.isValid() && !grid->isColumnHidden(current.column())
                           ? current.column()
                           : firstVisibleColumn(grid);
    const QModelIndex index = dataSet->index(row, column);
    selection->setCurrentIndex(index, select ? QItemSelectionModel::ClearAndSelect |
                                                   QItemSelectionModel::Rows
                                             : QItemSelectionModel::NoUpdate);
    grid->scrollTo(index);
}

void linkGridToDataSet(QTableView* grid, DataSet* dataSet, bool selectRow) {
    QItemSelectionModel* selection = grid->selectionModel();
    if (!selection || !dataSet || grid->model() != dataSet)
        return;
    if (selection->property(kLinkedTo).value<void*>() == dataSet)
        return;
    selection->setProperty(kLinkedTo, QVariant::fromValue<void*>(dataSet));

    // The connections live as long as this selection model, which setModel() replaces.
    QObject::connect(selection, &QItemSelectionModel::currentRowChanged, selection,
                     [dataSet](const QModelIndex& current) {
                         if (current.isValid() && current.row() != dataSet->currentRow())
                             dataSet->setCurrentRow(current.row());
                     });
    const auto follow = [grid, dataSet, selectRow] {
        if (grid->currentIndex().row() != dataSet->currentRow())
            showDataSetRow(grid, dataSet, selectRow);
    };
    QObject::connect(dataSet, &DataSet::currentRowChanged, selection, follow);
    QObject::connect(dataSet, &QAbstractItemModel::modelReset, selection, follow);
    QObject::connect(dataSet, &QAbstractItemModel::layoutChanged, selection, follow);
    follow();
}

} // namespace dm::gui
