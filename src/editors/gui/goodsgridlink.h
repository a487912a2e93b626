#pragma once

class QTableView;

namespace dm {
class DataSet;
}

namespace dm::gui {

// Keeps a grid's current row and its dataset's current row in step, both ways: the row
// the user moves to becomes the dataset's current row (what the ticket preview, Copy,
// Delete and the keypad operations act on), and a current row set by the program (New,
// a search, a new keypad) becomes the grid's. With selectRow the grid also selects the
// dataset's current row; otherwise the selection is left to the page. Call after every
// setModel(); calling again for the same model does nothing.
void linkGridToDataSet(QTableView* grid, DataSet* dataSet, bool selectRow);

// Makes the dataset's current row the grid's current cell (and selection, with select).
void showDataSetRow(QTableView* grid, const DataSet* dataSet, bool select);

} // namespace dm::gui
