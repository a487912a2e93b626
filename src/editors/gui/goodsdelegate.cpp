#include "editors/gui/goodsdelegate.h"

#include "db/datasets.h"
#include "editors/goodschecks.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QScopedValueRollback>
#include <QTimer>

namespace dm::gui {

namespace {

// Characters a grid editor takes per field (the fields' own limits).
int editorLimit(int field) {
    switch (field) {
    case ProductsDataSet::PLU:
        return 8;
    case ProductsDataSet::RVTName:
        return 32;
    case ProductsDataSet::Price:
        return 30;
    case ProductsDataSet::Barcode:
        return kMaxBarcodeLength;
    default:
        return 0;
    }
}

QString editorText(const QWidget* editor) {
    if (const auto* combo = qobject_cast<const QComboBox*>(editor))
        return combo->currentText();
    if (const auto* line = qobject_cast<const QLineEdit*>(editor))
        return line->text();
    return QString();
}

} // namespace

GoodsItemDelegate::GoodsItemDelegate(QAbstractItemView* view)
    : QStyledItemDelegate(view), m_view(view) {}

void GoodsItemDelegate::initStyleOption(QStyleOptionViewItem* option,
                                        const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() == ProductsDataSet::Barcode)
        option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
}

QWidget* GoodsItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                         const QModelIndex& index) const {
    QWidget* editor = nullptr;
    if (index.column() == ProductsDataSet::Type) {
        auto* combo = new QComboBox(parent);
        combo->setObjectName(QStringLiteral("TypePickList"));
        if (typeWords)
            combo->addItems(typeWords());
        editor = combo;
    } else {
        auto* line = new QLineEdit(parent);
        line->setFrame(false);
        if (const int limit = editorLimit(index.column()); limit > 0)
            line->setMaxLength(limit);
        if (index.column() == ProductsDataSet::PLU)
            line->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9]*")), line));
        if (index.column() == ProductsDataSet::Barcode)
            line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        editor = line;
    }
    m_editor = editor;
    return editor;
}

void GoodsItemDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    QString text = index.data(Qt::EditRole).toString();
    if (m_refusedIndex.isValid() && m_refusedIndex == index) {
        text = m_refusedText; // back to what was typed before the refusal
        m_refusedIndex = QPersistentModelIndex();
    }
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        int i = combo->findText(text);
        if (i < 0 && !text.isEmpty()) {
            // A word of another language: shown, so that the cell does not seem changed.
            combo->insertItem(0, text);
            i = 0;
        }
        combo->setCurrentIndex(std::max(i, 0));
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(text);
    }
}

void GoodsItemDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                     const QModelIndex& index) const {
    // A message box shown by the checks takes the focus from the editor, which commits
    // it again; one save at a time.
    if (m_saving)
        return;
    QScopedValueRollback<bool> guard(m_saving, true);
    const QString text = editorText(editor);
    if (text == index.data(Qt::EditRole).toString())
        return; // nothing changed, nothing to store
    auto* goods = qobject_cast<DataSet*>(model);
    bool stored = false;
    if (goods) {
        try {
            goods->post(index.row(), {{goods->fields().value(index.column()), text}});
            stored = true;
        } catch (const GoodsRefused&) {
            // Its messages have been shown.
        } catch (const UserError& e) {
            if (reportError)
                reportError(e.text());
        }
    } else {
        stored = model->setData(index, text, Qt::EditRole);
    }
    if (stored) {
        emit const_cast<GoodsItemDelegate*>(this)->saved(index);
        return;
    }
    m_refusedIndex = QPersistentModelIndex(index);
    m_refusedText = text;
    QTimer::singleShot(0, const_cast<GoodsItemDelegate*>(this), &GoodsItemDelegate::reopenRefused);
}

void GoodsItemDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    if (m_editor == editor)
        m_editor = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
}

void GoodsItemDelegate::reopenRefused() {
    if (!m_refusedIndex.isValid() || m_editor)
        return;
    const QModelIndex index = m_refusedIndex;
    m_view->setCurrentIndex(index);
    m_view->edit(index);
    if (!m_editor)
        m_refusedIndex = QPersistentModelIndex();
}

void GoodsItemDelegate::commitOpenEditor() {
    QWidget* editor = m_editor;
    if (!editor)
        return;
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}

} // namespace dm::gui
