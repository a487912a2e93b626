#pragma once

#include "app/messagepanelsize.h"

#include <QColor>
#include <QDialog>
#include <QStringList>

class QLabel;
class QProgressBar;
class QPushButton;

namespace dm {

// The small borderless window over everything that tells the user what a long or
// failing operation is doing: a notice that the caller hides when its work is done,
// a progress bar during transfers, and the troubleshooting form that waits for Close.
class TMessagePanel : public QDialog {
    Q_OBJECT
public:
    explicit TMessagePanel(QWidget* parent = nullptr);

    // Shows the lines in the panel, sized to them (width and height are replaced by the
    // measured size) and centred on the screen; empties the list. Not modal: returns at
    // once with the panel visible. Modal: shows Close and Help and returns when Close is
    // pressed, with the panel visible again for the caller to hide.
    void ShowMessagePanel(int width, int height, const QColor& panelColour,
                          const QColor& textColour, PanelAlignment alignment, bool modal,
                          QStringList& lines);
    void hidePanel();

    // The transfer progress bar: placed along the bottom of the label and shown with
    // nothing done, then its total and its count of parts done, then hidden.
    void placeProgressBar();
    void setProgressTotal(int total);
    void setProgressDone(int done);
    void hideProgressBar();

    QLabel* messageLabel() const { return MessageLabel; }
    QProgressBar* progressBar() const { return ProgressBar1; }

public slots:
    void CloseButtonClick();
    void HelpButtonClick();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyColours(const QColor& panelColour, const QColor& textColour);
    void layoutButtons();
    void centreOnScreen();

    QLabel* MessageLabel;
    QProgressBar* ProgressBar1;
    QPushButton* CloseButton;
    QPushButton* HelpButton;
};

} // namespace dm
