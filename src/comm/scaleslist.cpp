#include "comm/scaleslist.h"

#include "app/langtext.h"
#include "db/database.h"

namespace dm {

namespace {

const QString kIP = QStringLiteral("IP");
const QString kName = QStringLiteral("Name");
const QString kState = QStringLiteral("State");
const QString kKeypad = QStringLiteral("Keypad");

QString firstKeypadName(Database& db) {
    KeypadsDataSet& keypads = db.keypads();
    return keypads.isEmpty() ? QString() : keypads.value(0, KeypadsDataSet::Name).toString();
}

enum class Known { Named, Unnamed, Absent };

// Makes the address's first row current when there is one.
Known locateScale(ScalesDataSet& scales, const QString& address) {
    if (!scales.locate(kIP, address))
        return Known::Absent;
    return scales.currentValue(kName).toString().isEmpty() ? Known::Unnamed : Known::Named;
}

// A row for a scale seen for the first time, or a name for its row that has lost it.
void addNewScale(Database& db, const QString& address, Known known, bool withState) {
    ScalesDataSet& scales = db.scales();
    QVariantMap values{{kName, NewScaleText()}};
    if (withState)
        values.insert(kState, ScaleOnlineText());
    if (known == Known::Unnamed) {
        if (scales.currentValue(kKeypad).toString().isEmpty())
            values.insert(kKeypad, firstKeypadName(db));
        scales.post(scales.currentRow(), values);
        return;
    }
    values.insert(kIP, address);
    values.insert(kKeypad, firstKeypadName(db));
    const int row = scales.append(values);
    if (row >= 0)
        scales.setCurrentRow(row);
}

} // namespace

QString ScaleOnlineText() {
    return LangText(u"Misc", u"Online", u"Online");
}

QString ScaleOfflineText() {
    return LangText(u"Misc", u"Offline", u"Offline");
}

QString NewScaleText() {
    return LangText(u"Misc", u"New", u"New");
}

QStringList KeypadNames(Database& db) {
    KeypadsDataSet& keypads = db.keypads();
    QStringList names;
    for (int row = 0; row < keypads.recordCount(); ++row)
        names.append(keypads.value(row, KeypadsDataSet::Name).toString());
    return names;
}

ScalesRefresh RefreshScalesList(Database& db, const QStringList& foundAddresses) {
    CurrentRowKeeper keeper(db.keypads());
    ScalesDataSet& scales = db.scales();
    const QString offline = ScaleOfflineText();
    for (int row = 0; row < scales.recordCount(); ++row)
        scales.post(row, {{kState, offline}});

    for (const QString& address : foundAddresses) {
        const Known known = locateScale(scales, address);
        if (known == Known::Named)
            scales.post(scales.currentRow(), {{kState, ScaleOnlineText()}});
        else
            addNewScale(db, address, known, true);
    }

    ScalesRefresh result;
    result.deleteEnabled = scales.currentRow() >= 0 && !scales.currentValue(kName).isNull();
    result.keypadNames = KeypadNames(db);
    return result;
}

QString KeypadOfScale(Database& db, const QString& address) {
    const QString named = db.scales().lookup(kIP, address, kKeypad).toString();
    if (!named.isEmpty() && !db.keypads().lookup(kName, named, kName).isNull())
        return named;
    return firstKeypadName(db);
}

QStringList PrepareScaleChoice(Database& db, const FoundScales& found) {
    ScalesDataSet& scales = db.scales();
    const QString keypadWord = LangText(u"Misc", u"Keypad", u"Keypad");
    QStringList items;
    for (qsizetype k = 0; k < found.addresses.size(); ++k) {
        const QString& address = found.addresses[k];
        const QString mode = found.modes.value(k);
        const QString word = mode.isEmpty() ? QString() : scaleModeWord(mode[0]);
        const Known known = locateScale(scales, address);
        QString name;
        if (known == Known::Named) {
            name = scales.currentValue(kName).toString();
        } else {
            addNewScale(db, address, known, false);
            // The words for a new scale are the same in every language.
            name = QStringLiteral("Новые");
        }
        items.append(name + QStringLiteral(" (IP: ") + address + QStringLiteral(", ") + keypadWord +
                     QStringLiteral(": ") + KeypadOfScale(db, address) + QStringLiteral(") ") +
                     word);
    }
    return items;
}

void ScaleChoiceTicks::change(int index, bool ticked) {
    if (index < 0 || index >= m_ticks.size())
        return;
    if (m_single)
        m_ticks.fill(false);
    m_ticks[index] = ticked;
}

void ScaleChoiceTicks::selectAll() {
    m_ticks.fill(true);
}

void ScaleChoiceTicks::selectNone() {
    m_ticks.fill(false);
}

QList<int> ScaleChoiceTicks::ticked() const {
    QList<int> indexes;
    for (int i = 0; i < m_ticks.size(); ++i)
        if (m_ticks[i])
            indexes.append(i);
    return indexes;
}

QString DeleteScaleCaption() {
    return LangText(u"Text", u"DeleteScalesConfirmation", u"Delete Scales");
}

QString DeleteScaleQuestion(const QString& name, const QString& address) {
    return LangText(u"Text", u"DeleteScales", u"Delete scales") + u'\n' + name +
           QStringLiteral(" IP: ") + address + u'\n' +
           LangText(u"Text", u"FromList", u"from list?");
}

} // namespace dm
