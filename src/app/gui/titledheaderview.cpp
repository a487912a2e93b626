#include "app/gui/titledheaderview.h"

#include <QStyle>
#include <QStyleOptionHeader>

namespace dm::gui {

TitledHeaderView::TitledHeaderView(Qt::Orientation orientation, QWidget* parent)
    : QHeaderView(orientation, parent) {}

void TitledHeaderView::copySettingsOf(const QHeaderView* other) {
    if (!other)
        return;
    setSectionsClickable(other->sectionsClickable());
    setHighlightSections(other->highlightSections());
    setStretchLastSection(other->stretchLastSection());
    setCascadingSectionResizes(other->cascadingSectionResizes());
    setSortIndicatorShown(other->isSortIndicatorShown());
    setDefaultAlignment(other->defaultAlignment());
    setDefaultSectionSize(other->defaultSectionSize());
    setMinimumSectionSize(other->minimumSectionSize());
    setVisible(!other->isHidden());
}

void TitledHeaderView::setTitles(const QStringList& titles) {
    if (titles == m_titles)
        return;
    m_titles = titles;
    // Sizes and the painted texts follow the new titles.
    if (model() && count() > 0)
        headerDataChanged(orientation(), 0, count() - 1);
    viewport()->update();
}

QString TitledHeaderView::ownTitle(int logicalIndex) const {
    return logicalIndex >= 0 && logicalIndex < m_titles.size() ? m_titles[logicalIndex] : QString();
}

QString TitledHeaderView::sectionTitle(int logicalIndex) const {
    const QString own = ownTitle(logicalIndex);
    if (!own.isEmpty() || !model())
        return own;
    return model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
}

void TitledHeaderView::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const {
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    const QString own = ownTitle(logicalIndex);
    if (!own.isEmpty())
        option->text = own;
}

QSize TitledHeaderView::sectionSizeFromContents(int logicalIndex) const {
    const QSize base = QHeaderView::sectionSizeFromContents(logicalIndex);
    const QString own = ownTitle(logicalIndex);
    if (own.isEmpty())
        return base;
    // The model's text was measured; measure ours the same way and keep the larger.
    QStyleOptionHeader opt;
    initStyleOption(&opt);
    opt.section = logicalIndex;
    opt.text = own;
    const QSize ours = style()->sizeFromContents(QStyle::CT_HeaderSection, &opt, QSize(), this);
    return base.expandedTo(ours);
}

} // namespace dm::gui
