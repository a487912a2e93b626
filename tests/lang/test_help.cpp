// Where a help topic of the language file leads.
#include "platform/help.h"
#include "qstringprint.h"

#include <gtest/gtest.h>

TEST(HelpTopicPath, TopicPartsBecomeAPageOfTheLanguagesHelpFolder) {
    struct Case {
        const char16_t* topic;
        const char16_t* page;
    };
    const Case cases[] = {
        {u"Description\\Goods", u"/L/help/Description/Goods.html"},
        {u"Tips\\Connection", u"/L/help/Tips/Connection.html"},
        {u"Tips/Connection", u"/L/help/Tips/Connection.html"},
        {u"\\Description\\\\Totals\\", u"/L/help/Description/Totals.html"},
        {u"Description\\Keys.html", u"/L/help/Description/Keys.html"},
        // A language file cannot lead the browser out of the help folder.
        {u"..\\..\\System\\terminal", u"/L/help/System/terminal.html"},
        {u"Description/../../x", u"/L/help/Description/x.html"},
        {u"", u"/L/help/index.html"},
        {u"..", u"/L/help/index.html"},
    };
    for (const Case& c : cases) {
        const QString topic = QString::fromUtf16(c.topic);
        EXPECT_EQ(dm::platform::helpTopicPath(QStringLiteral("/L"), topic),
                  QString::fromUtf16(c.page))
            << topic.toStdString();
    }
}
