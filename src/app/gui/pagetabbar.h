#pragma once

#include <QTabBar>

namespace dm::gui {

// The page tabs on the left: a 50 by 50 picture above an upright caption, the current
// tab in bold.
class PageTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit PageTabBar(QWidget* parent = nullptr);

protected:
    QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace dm::gui
