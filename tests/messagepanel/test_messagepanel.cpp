// The message panel as the operations use it: notices that stay until hidden, the
// troubleshooting form that waits for Close, its size, colours and progress bar.
#include "app/gui/messagepanel.h"
#include "app/inifile.h"
#include "app/langtext.h"
#include "platform/help.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

using dm::PanelAlignment;
using dm::TMessagePanel;

// Stands in for the desktop's browser: remembers what it was asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

QPushButton* button(TMessagePanel& panel, const char* name) {
    return panel.findChild<QPushButton*>(QString::fromLatin1(name));
}

// Runs a modal call; `whileWaiting` runs inside the wait and must end it (or the guard
// does, and the call's result is then Rejected).
template <typename F> void runModal(TMessagePanel& panel, QStringList& lines, F whileWaiting) {
    QTimer::singleShot(20, &panel, whileWaiting);
    QTimer::singleShot(5000, &panel, [&panel] { panel.done(QDialog::Rejected); });
    panel.ShowMessagePanel(100, 50, QColor(dm::panelcolour::Pink), QColor(dm::panelcolour::Text),
                           PanelAlignment::Left, true, lines);
}

class MessagePanelTest : public ::testing::Test {
protected:
    void TearDown() override {
        panel.hidePanel();
        dm::currentLanguageFile().clear();
    }
    QStringList troubleshooting() const {
        return {QStringLiteral("Scales not found..."), QString(),
                QStringLiteral("- scales ethernet settings is not compatible with PC network")};
    }
    TMessagePanel panel;
};

TEST_F(MessagePanelTest, SizeFollowsTheLinesInTheLabelFont) {
    const QFontMetrics fm(panel.messageLabel()->font());
    const QStringList three = {QStringLiteral("Connecting..."),
                               QStringLiteral("Uploading data (Kitchen <192.168.0.5>)"),
                               QStringLiteral("ok")};
    int widest = 0;
    for (const QString& l : three)
        widest = std::max(widest, fm.horizontalAdvance(l));
    const int threeHigh = 3 * (fm.height() + 2) + 20;

    struct Case {
        QStringList lines;
        bool modal;
        QSize expected;
    };
    const Case cases[] = {
        {three, false, QSize(widest + 20, threeHigh)},
        {three, true, QSize(widest + 20, threeHigh + 30)},
        {{}, false, QSize(20, 20)},
        {{}, true, QSize(20, 50)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lines.size() << " lines, modal " << c.modal);
        EXPECT_EQ(dm::messagePanelSize(panel.messageLabel()->font(), c.lines, c.modal), c.expected);
        QStringList lines = c.lines;
        QSize shown;
        if (c.modal) {
            runModal(panel, lines, [&] {
                shown = panel.size();
                button(panel, "CloseButton")->click();
            });
        } else {
            panel.ShowMessagePanel(100, 50, QColor(dm::panelcolour::SkyBlue),
                                   QColor(dm::panelcolour::Text), PanelAlignment::Centre, false,
                                   lines);
            shown = panel.size();
        }
        EXPECT_EQ(shown, c.expected);
        EXPECT_EQ(panel.messageLabel()->size(), c.expected); // the label fills the panel
        // ... and the widest line fits inside its border and padding, unclipped.
        if (!c.lines.isEmpty()) {
            EXPECT_LE(panel.messageLabel()->sizeHint().width(), c.expected.width());
        }
        EXPECT_TRUE(lines.isEmpty());
    }
}

TEST_F(MessagePanelTest, NoticeReturnsAtOnceAndStaysUntilHidden) {
    QStringList lines = {QStringLiteral("Saving database...")};
    panel.ShowMessagePanel(100, 50, QColor(dm::panelcolour::MoneyGreen),
                           QColor(dm::panelcolour::Text), PanelAlignment::Centre, false, lines);
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_TRUE(panel.isVisible());
    EXPECT_FALSE(panel.isModal());
    EXPECT_EQ(panel.result(), QDialog::Accepted);
    EXPECT_FALSE(button(panel, "CloseButton")->isVisible());
    EXPECT_FALSE(button(panel, "HelpButton")->isVisible());
    EXPECT_EQ(panel.messageLabel()->text(), QStringLiteral("Saving database..."));
    EXPECT_EQ(panel.messageLabel()->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
    EXPECT_TRUE(panel.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(panel.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    const QPoint centre = panel.screen()->availableGeometry().center();
    EXPECT_LE((panel.frameGeometry().center() - centre).manhattanLength(), 2);

    QCoreApplication::processEvents();
    EXPECT_TRUE(panel.isVisible());
    panel.hidePanel();
    EXPECT_FALSE(panel.isVisible());
}

TEST_F(MessagePanelTest, ModalFormWaitsForCloseAndHelpLeavesItOpen) {
    // A language whose texts differ from the built-in ones, so the lookups are seen.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(dm::writeIniValue(folder.filePath(QStringLiteral("Lang.dat")),
                                  QStringLiteral("Message"), QStringLiteral("CloseButton"),
                                  QStringLiteral("Schliessen")));
    ASSERT_TRUE(dm::writeIniValue(folder.filePath(QStringLiteral("Lang.dat")),
                                  QStringLiteral("Help"), QStringLiteral("TipsConnection"),
                                  QStringLiteral("Tips\\Cable")));
    dm::currentLanguageFile().open(folder.path());

    UrlRecorder browser;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &browser, "open");

    QStringList lines = troubleshooting();
    bool waitingVisible = false, openAfterHelp = false, buttonsShown = false;
    int openedWhileWaiting = 0;
    runModal(panel, lines, [&] {
        waitingVisible = panel.isVisible() && panel.isModal();
        buttonsShown =
            button(panel, "CloseButton")->isVisible() && button(panel, "HelpButton")->isVisible();
        button(panel, "HelpButton")->click();
        openedWhileWaiting = int(browser.opened.size());
        openAfterHelp = panel.isVisible();
        button(panel, "CloseButton")->click();
    });
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

    EXPECT_TRUE(waitingVisible);
    EXPECT_TRUE(buttonsShown);
    EXPECT_EQ(openedWhileWaiting, 1);
    EXPECT_TRUE(openAfterHelp);
    EXPECT_EQ(panel.result(), QDialog::Accepted); // Close ended the wait, not the guard
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(button(panel, "CloseButton")->text(), QStringLiteral("Schliessen"));
    EXPECT_EQ(button(panel, "HelpButton")->text(), QStringLiteral("Help"));
    EXPECT_EQ(panel.messageLabel()->alignment(), Qt::AlignLeft | Qt::AlignTop);
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened.first().toLocalFile(),
              dm::platform::helpTopicPath(QDir(folder.path()).absolutePath(),
                                          QStringLiteral("Tips\\Cable")));
    // The caller hides the panel after a modal call: it is up again until then.
    EXPECT_TRUE(panel.isVisible());
}

TEST_F(MessagePanelTest, LabelShowsThePanelAndTextColours) {
    const QRgb red = qRgb(255, 0, 0);
    for (QRgb colour :
         {dm::panelcolour::SkyBlue, dm::panelcolour::Pink, dm::panelcolour::MoneyGreen}) {
        SCOPED_TRACE(QColor(colour).name().toStdString());
        QStringList lines = {QStringLiteral("MMMM WWWW")};
        panel.ShowMessagePanel(100, 50, QColor(colour), QColor(red), PanelAlignment::Centre, false,
                               lines);
        const QImage image = panel.messageLabel()->grab().toImage();
        // Inside the border, left of the text.
        EXPECT_EQ(image.pixel(6, image.height() / 2) & 0xFFFFFF, colour & 0xFFFFFF);
        bool textInRed = false;
        for (int y = 0; y < image.height() && !textInRed; ++y)
            for (int x = 0; x < image.width() && !textInRed; ++x) {
                const QColor c = image.pixelColor(x, y);
                textInRed = c.red() > 200 && c.green() < 60 && c.blue() < 60;
            }
        EXPECT_TRUE(textInRed);
    }
}

TEST_F(MessagePanelTest, ProgressBarRunsAlongTheBottomOfTheLabel) {
    QStringList lines = {QStringLiteral("Uploading data (Kitchen <192.168.0.5>)")};
    panel.ShowMessagePanel(100, 50, QColor(dm::panelcolour::SkyBlue), QColor(dm::panelcolour::Text),
                           PanelAlignment::Centre, false, lines);
    QProgressBar* bar = panel.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isVisible());

    panel.placeProgressBar();
    const QSize label = panel.messageLabel()->size();
    EXPECT_EQ(bar->geometry(), QRect(10, label.height() - 10, label.width() - 20, 8));
    EXPECT_TRUE(bar->isVisible());
    EXPECT_FALSE(bar->isTextVisible());
    EXPECT_EQ(bar->value(), 0);
    EXPECT_NE(bar->maximum(), 0); // 0..0 would be a busy bar, not "nothing done yet"

    panel.setProgressTotal(7);
    for (int done = 1; done <= 7; ++done)
        panel.setProgressDone(done);
    EXPECT_EQ(bar->value(), 7);
    EXPECT_EQ(bar->maximum(), 7);
    panel.hideProgressBar();
    EXPECT_FALSE(bar->isVisible());
}

} // namespace

#include "test_messagepanel.moc"
