#pragma once

#include <QString>

namespace dm::platform {

// The help of a language is a folder of pages, one per topic: the topic
// "Description\Goods" is <languageFolder>/help/Description/Goods.html. Both backslashes
// and slashes separate the parts of a topic; "." and ".." parts are dropped so that a
// language file cannot point the browser outside its help folder. An empty topic gives
// the contents page help/index.html.
QString helpTopicPath(const QString& languageFolder, const QString& topic);

// Opens the topic's page with the desktop's browser. A missing page is left for the
// browser to report, as a help viewer would; returns false only when no browser could
// be asked.
bool openHelpTopic(const QString& languageFolder, const QString& topic);

} // namespace dm::platform
