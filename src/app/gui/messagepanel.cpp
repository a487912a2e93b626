#include "app/gui/messagepanel.h"

#include "app/langtext.h"
#include "platform/help.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace dm {

namespace {

constexpr int ButtonWidth = 105;
constexpr int ButtonHeight = 26;
constexpr int ButtonInset = 6;

QFont panelFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    font.setBold(true);
    return font;
}

Qt::Alignment horizontalAlignment(PanelAlignment alignment) {
    switch (alignment) {
    case PanelAlignment::Left:
        return Qt::AlignLeft;
    case PanelAlignment::Right:
        return Qt::AlignRight;
    case PanelAlignment::Centre:
        break;
    }
    return Qt::AlignHCenter;
}

// The help folder is the folder of the language file in use, so the panel needs no copy
// of the language folder that could go stale after a change of language.
QString currentLanguageFolder() {
    const QString path = currentLanguageFile().ini().path();
    return path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
}

} // namespace

TMessagePanel::TMessagePanel(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("TMessagePanel"));
    setWindowOpacity(210.0 / 255.0);
    setAutoFillBackground(true);

    MessageLabel = new QLabel(this);
    MessageLabel->setObjectName(QStringLiteral("MessageLabel"));
    MessageLabel->setFont(panelFont());
    // Texts carry names and addresses such as "<192.168.0.5>": never read them as markup.
    MessageLabel->setTextFormat(Qt::PlainText);
    MessageLabel->setWordWrap(false);
    // The measured size leaves exactly the padding around the text; a framed label would
    // otherwise indent it by half an "x" more and clip the widest line.
    MessageLabel->setIndent(0);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedHeight(8);
    ProgressBar1->setRange(0, 1); // a range of 0..0 would show a busy bar, not "nothing done"
    ProgressBar1->setValue(0);
    ProgressBar1->setStyleSheet(QStringLiteral(
        "QProgressBar { border: 1px solid #404040; border-radius: 3px; background: white; }"
        "QProgressBar::chunk { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, "
        "stop:0 #3060c0, stop:1 #80b0f0); }"));
    ProgressBar1->hide();

    CloseButton = new QPushButton(this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    HelpButton = new QPushButton(this);
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    for (QPushButton* b : {CloseButton, HelpButton}) {
        b->setFont(panelFont());
        b->setFixedSize(ButtonWidth, ButtonHeight);
        b->hide();
    }
    CloseButton->setDefault(true);
    HelpButton->setAutoDefault(false);
    connect(CloseButton, &QPushButton::clicked, this, &TMessagePanel::CloseButtonClick);
    connect(HelpButton, &QPushButton::clicked, this, &TMessagePanel::HelpButtonClick);

    applyColours(QColor(panelcolour::SkyBlue), QColor(panelcolour::Text));
    resize(100, 50);
}

void TMessagePanel::ShowMessagePanel(int width, int height, const QColor& panelColour,
                                     const QColor& textColour, PanelAlignment alignment, bool modal,
                                     QStringList& lines) {
    HelpButton->setText(LangText(u"Message", u"HelpButton", u"Help"));
    CloseButton->setText(LangText(u"Message", u"CloseButton", u"Close"));

    resize(width, height);
    applyColours(panelColour, textColour);
    MessageLabel->setText(lines.join(u'\n'));
    const QSize size = messagePanelSize(MessageLabel->font(), lines, modal);
    // Emptied before the panel can wait, so that lines queued for the next message while
    // the modal form is up are not lost.
    lines.clear();

    const Qt::Alignment horizontal = horizontalAlignment(alignment);
    if (modal) {
        MessageLabel->setAlignment(horizontal | Qt::AlignTop);
        resize(size);
        CloseButton->show();
        HelpButton->show();
        layoutButtons();
        // A panel still up from a notice must be shown again to become modal.
        if (isVisible())
            hide();
        setAttribute(Qt::WA_ShowWithoutActivating, false);
        centreOnScreen();
        exec();
    } else {
        CloseButton->hide();
        HelpButton->hide();
        MessageLabel->setAlignment(horizontal | Qt::AlignVCenter);
        resize(size);
        setResult(QDialog::Accepted);
        // A notice must not take the keyboard from the window the user works in.
        setAttribute(Qt::WA_ShowWithoutActivating, true);
    }

    centreOnScreen();
    show();
    QCoreApplication::processEvents();
}

void TMessagePanel::hidePanel() {
    hide();
}

void TMessagePanel::placeProgressBar() {
    ProgressBar1->setGeometry(progressBarGeometry(MessageLabel->size(), ProgressBar1->height()));
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    ProgressBar1->raise();
}

void TMessagePanel::setProgressTotal(int total) {
    ProgressBar1->setRange(0, std::max(total, 1));
}

void TMessagePanel::setProgressDone(int done) {
    ProgressBar1->setValue(std::clamp(done, 0, ProgressBar1->maximum()));
}

void TMessagePanel::hideProgressBar() {
    ProgressBar1->hide();
}

void TMessagePanel::CloseButtonClick() {
    done(QDialog::Accepted);
}

void TMessagePanel::HelpButtonClick() {
    platform::openHelpTopic(currentLanguageFolder(),
                            LangText(u"Help", u"TipsConnection", u"Tips\\Connection"));
}

void TMessagePanel::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    MessageLabel->setGeometry(rect());
    layoutButtons();
}

void TMessagePanel::applyColours(const QColor& panelColour, const QColor& textColour) {
    // The label's border sits a little inside the panel's edge, on the panel's colour.
    QPalette p = palette();
    p.setColor(QPalette::Window, panelColour);
    setPalette(p);
    // 2 px margin + 1 px border + 6 px padding: the measured size leaves 10 px on either
    // side of the text, and one of them stays free for glyphs that reach past their
    // advance.
    MessageLabel->setStyleSheet(
        QStringLiteral("QLabel { background-color: %1; color: %2; margin: 2px; "
                       "border: 1px solid black; border-radius: 6px; padding: 6px; }")
            .arg(panelColour.name(), textColour.name()));
}

void TMessagePanel::layoutButtons() {
    const int y = height() - ButtonHeight - ButtonInset;
    HelpButton->move(ButtonInset, y);
    CloseButton->move(width() - ButtonWidth - ButtonInset, y);
    HelpButton->raise();
    CloseButton->raise();
}

void TMessagePanel::centreOnScreen() {
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

} // namespace dm
