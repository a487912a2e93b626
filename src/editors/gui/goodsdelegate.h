#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

#include <functional>

class QAbstractItemView;

namespace dm::gui {

// The goods grids' cells (ProductsDataSet columns): editors with the limits of their
// fields, the type column's pick list, the barcode right-aligned. A save goes through
// the dataset, so the goods checks run on it; a refused save reopens the editor with
// the typed text, as the row stays being edited until it is stored or the edit is
// cancelled with Escape.
class GoodsItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GoodsItemDelegate(QAbstractItemView* view);

    // The pick list of the type column: the weight word and the count word.
    std::function<QStringList()> typeWords;
    // Where a refusal by the data layer is shown (the goods checks report their own).
    std::function<void(const QString&)> reportError;

    QWidget* openEditor() const { return m_editor; }
    // Saves the open editor's text and closes it (a refusal reopens it).
    void commitOpenEditor();

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

signals:
    void saved(const QModelIndex& index); // a changed cell was stored

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    void reopenRefused();

    QAbstractItemView* m_view;
    mutable QPointer<QWidget> m_editor;
    mutable bool m_saving = false;
    mutable QPersistentModelIndex m_refusedIndex;
    mutable QString m_refusedText;
};

} // namespace dm::gui
