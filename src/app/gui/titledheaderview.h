#pragma once

#include <QHeaderView>
#include <QStringList>

namespace dm::gui {

// A header that shows titles of its own instead of the model's. Two grids over one
// dataset (the goods list on the goods page and on the keys page) can so carry the
// titles of their own pages. A section without a title here shows the model's.
class TitledHeaderView : public QHeaderView {
    Q_OBJECT
public:
    explicit TitledHeaderView(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Takes over the settings of the header it replaces, so that it looks and acts alike.
    void copySettingsOf(const QHeaderView* other);

    // One title per logical section, from section 0; an empty title keeps the model's.
    void setTitles(const QStringList& titles);
    QStringList titles() const { return m_titles; }
    // The text the section shows.
    QString sectionTitle(int logicalIndex) const;

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    QString ownTitle(int logicalIndex) const;

    QStringList m_titles;
};

} // namespace dm::gui
